#include "support/EntryFacts.h"

#include <windows.h>

#include "support/windows/Wide.h"

namespace {

// FILETIME counts 100-nanosecond steps since 1601-01-01.
SFileTime TimeOf(const FILETIME& time) {
    const std::uint64_t n =
        (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    return {static_cast<std::int64_t>(n / 10000000) - 11644473600LL,
            static_cast<std::uint32_t>(n % 10000000) * 100};
}

std::string TypeOf(DWORD nAttributes) {
    if (nAttributes & FILE_ATTRIBUTE_REPARSE_POINT)
        return "symlink"; // junctions and links alike, never followed
    return (nAttributes & FILE_ATTRIBUTE_DIRECTORY) ? "directory" : "file";
}

} // namespace

std::optional<SEntryFacts> EntryFactsOf(const std::string& strPath) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(ExtendedPath(strPath).c_str(), GetFileExInfoStandard, &data))
        return std::nullopt;
    SEntryFacts facts;
    facts.strType = TypeOf(data.dwFileAttributes);
    facts.nSize = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    facts.modified = TimeOf(data.ftLastWriteTime);
    facts.accessed = TimeOf(data.ftLastAccessTime);
    facts.created = TimeOf(data.ftCreationTime);
    facts.bReadOnly = (data.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0;
    return facts;
}
