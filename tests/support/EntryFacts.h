#pragma once

#include <cstdint>
#include <optional>
#include <string>

// A moment as the file system keeps it: seconds since 1970 (negative before) and nanoseconds
// counted forward from them.
struct SFileTime {
    std::int64_t nSeconds = 0;
    std::uint32_t nNanoseconds = 0;
};

// What the system says of one entry, links not followed: for tests that check an export
// against the disk, asked here directly rather than through the code under test.
struct SEntryFacts {
    std::string strType; // "directory", "file", "symlink" or "other"
    std::uint64_t nSize = 0;
    SFileTime modified;
    SFileTime accessed;
    SFileTime created;       // Linux: the birth time where the file system keeps one, else ctime
    bool bReadOnly = false;  // Linux: the owner's write bit is clear
    std::string strLinkText; // a symbolic link's text, exact
};

// Empty when the entry cannot be asked about.
std::optional<SEntryFacts> EntryFactsOf(const std::string& strPath);
