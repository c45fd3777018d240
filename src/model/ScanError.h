#pragma once

#include <string>

// A directory that could not be opened or read completely. The path is the one the user
// would type, exact: the chosen directory as given, joined with the names below it (shown
// with SanitizeName in messages).
struct SScanError {
    std::string strPath;
    int nErrno = 0;

    bool operator==(const SScanError&) const = default;
};
