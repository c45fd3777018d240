#pragma once

#include <filesystem>
#include <string>

// Paths of the standard library from the tests' UTF-8 texts and back. A plain std::string
// would mean the ANSI code page on Windows; on Linux the bytes pass unchanged either way.
inline std::filesystem::path FsPath(const std::string& strUtf8) {
    return std::filesystem::path(std::u8string(strUtf8.begin(), strUtf8.end()));
}

inline std::string PathText(const std::filesystem::path& path) {
    const std::u8string str = path.u8string();
    return std::string(str.begin(), str.end());
}
