#pragma once

#include <string>

#include "lang/LanguageId.h"

// kwl-list's line for a directory inside the tree that could not be opened or read
// completely. The catalogue has no entry for it (the desktop program shows no message from
// a scan), so both languages are kept here, beside it: German for German, English for every
// other id. strReason is the system's text for the error.
std::string ScanErrorMessage(ELanguage eLanguage, const std::string& strPath,
                             const std::string& strReason);
