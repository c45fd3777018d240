#pragma once

#include <string>

#include "lang/LanguageId.h"
#include "snapshot/SnapshotReader.h"

// kwl-list's line for a directory inside the tree that could not be opened or read
// completely (or a file whose content could not be read for its hash). The catalogue has no
// entry for it (the desktop program says it its own way: lang/ScanErrorTexts.h), so both
// languages are kept here, beside it: German for German, English for every other id.
// strReason is the system's text for the error.
std::string ScanErrorMessage(ELanguage eLanguage, const std::string& strPath,
                             const std::string& strReason);

// The directory strPath (given to compare with) cannot be read; nErrno says why.
std::string DirectoryErrorMessage(ELanguage eLanguage, const std::string& strPath, int nErrno);

// The scan of strPath holds more than a snapshot can.
std::string TooLargeMessage(ELanguage eLanguage, const std::string& strPath);

// Why the snapshot strFile could not be read, and where in it.
std::string SnapshotErrorMessage(ELanguage eLanguage, const std::string& strFile,
                                 const SSnapshotError& error);
