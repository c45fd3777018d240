#pragma once

#include <string>

#include "format/FormatsFile.h"
#include "lang/LanguageId.h"

// The window's one message when formats.def cannot be used: the path, why, and what happens
// instead (the built-in formats, the file left alone). Texts of ours, not the catalogue's.
std::string FormatsUnusableMessage(ELanguage eLanguage, const std::string& strPath,
                                   EFormatsProblem eProblem, int nErrno);
