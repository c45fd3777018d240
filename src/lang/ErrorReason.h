#pragma once

#include <string>

#include "lang/LanguageId.h"

// Why a file or directory could not be read or written, in the language shown: our own English
// and German texts for the errors a user meets most, the system's (English) text for the rest.
std::string ErrorReason(int nErrno, ELanguage eLanguage);
