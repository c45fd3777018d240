#pragma once

#include <string>

// kwl-list's line for a directory inside the tree that could not be opened or read
// completely. The catalogue has no entry for it (the desktop program shows no message from
// a scan), so both languages are kept here, beside it. nLanguage is the catalogue's id
// (1 English, 0 German); strReason is the system's text for the error.
std::string ScanErrorMessage(int nLanguage, const std::string& strPath,
                             const std::string& strReason);
