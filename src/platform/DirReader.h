#pragma once

#include <dirent.h>

#include <climits>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Time of an entry whose status cannot be read; it has no calendar time, so it renders as
// the unknown time.
inline constexpr std::int64_t kUnknownTime = INT64_MIN;

// One entry of a directory, as the file system reports it (links not followed).
struct SDirEntry {
    std::string strRawName; // bytes as stored: needed to open the entry again
    bool bDirectory = false;
    std::uint64_t nSize = 0;
    std::int64_t nCreation = 0; // birth time where reported, else status change time
    std::int64_t nLastAccess = 0;
    std::int64_t nLastWrite = 0;
    bool bReadOnly = false;   // owner write permission clear
    bool bCompressed = false; // statx compressed attribute
    bool bHidden = false;     // name begins with "."
};

// A directory opened for reading; everything below it is reached through its descriptor,
// so no path is rebuilt per entry and a renamed parent cannot redirect the scan.
class CDirReader {
public:
    CDirReader() = default;
    CDirReader(const CDirReader&) = delete;
    CDirReader& operator=(const CDirReader&) = delete;
    CDirReader(CDirReader&& other) noexcept;
    CDirReader& operator=(CDirReader&& other) noexcept;
    ~CDirReader();

    // Opens a directory by path (relative to the working directory); follows a link given here.
    bool OpenPath(const std::string& strPath);
    // Opens a subdirectory of parent by its raw name; never follows a link.
    bool OpenChild(const CDirReader& parent, const std::string& strRawName);
    bool IsOpen() const { return m_pDir != nullptr; }

    // Reads every entry but "." and "..", in enumeration order. An entry that vanishes
    // between enumeration and status is skipped. fnProgress, when given, hears the count
    // read so far every nProgressEvery entries, so a huge directory shows progress too.
    void ReadAll(std::vector<SDirEntry>& entries,
                 const std::function<void(std::size_t)>& fnProgress = {},
                 std::size_t nProgressEvery = 8192);

private:
    bool Adopt(int nFd);
    void Close();

    DIR* m_pDir = nullptr;
};

// The owner of the process may raise its descriptor limit; deep trees keep one open per level.
void RaiseOpenFileLimit();
