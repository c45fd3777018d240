#pragma once

#include <optional>
#include <string>

// Points the program's configuration folder (where formats.def lives) at strRoot while it
// lives, and restores it after.
class CConfigFolderGuard {
public:
    explicit CConfigFolderGuard(const std::string& strRoot);
    ~CConfigFolderGuard();
    CConfigFolderGuard(const CConfigFolderGuard&) = delete;
    CConfigFolderGuard& operator=(const CConfigFolderGuard&) = delete;

private:
    std::optional<std::string> m_old;
};
