#pragma once

#include <climits>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// Time of an entry whose status cannot be read; it has no calendar time, so it renders as
// the unknown time.
inline constexpr std::int64_t kUnknownTime = INT64_MIN;

// What the file system reports about one entry (links not followed).
struct SEntryStatus {
    bool bDirectory = false;
    std::uint64_t nSize = 0;
    std::int64_t nCreation = 0; // birth time where reported, else status change time
    std::int64_t nLastAccess = 0;
    std::int64_t nLastWrite = 0;
    bool bReadOnly = false;   // owner write permission clear
    bool bCompressed = false; // statx compressed attribute
    std::uint64_t nDevice = 0;
    std::uint64_t nInode = 0;
};

// The kind of an entry as the directory itself tells it, before any status is read.
enum class EEntryKind : unsigned char { Unknown, Directory, Other };

// The names of one directory read in one go: raw bytes in enumeration order, without "."
// and "..". The records stay as the kernel wrote them; nothing is copied per name.
class CDirNames {
public:
    std::size_t Count() const { return m_offsets.size(); }
    const char* Name(std::size_t i) const; // NUL-terminated
    EEntryKind Kind(std::size_t i) const;
    // Forgets the names but keeps the memory for the next directory.
    void Clear();

private:
    friend class CDirReader;

    std::unique_ptr<char[]> m_pBuffer; // not zeroed: the kernel writes it
    std::size_t m_nCapacity = 0;
    std::size_t m_nUsed = 0;
    std::vector<std::size_t> m_offsets; // record offsets, "." and ".." left out
};

// A directory opened for reading; everything below it is reached through its descriptor,
// so no path is rebuilt per entry and a renamed parent cannot redirect the scan.
class CDirReader {
public:
    CDirReader() = default;
    explicit CDirReader(int nFd) : m_nFd(nFd) {}
    CDirReader(const CDirReader&) = delete;
    CDirReader& operator=(const CDirReader&) = delete;
    CDirReader(CDirReader&& other) noexcept;
    CDirReader& operator=(CDirReader&& other) noexcept;
    ~CDirReader();

    // Opens a directory by path (relative to the working directory); follows a link given here.
    bool OpenPath(const std::string& strPath);
    // Opens a subdirectory of the directory nParentFd by its raw name; never follows a link.
    bool OpenChild(int nParentFd, const char* pszRawName);
    bool OpenChild(const CDirReader& parent, const std::string& strRawName) {
        return OpenChild(parent.m_nFd, strRawName.c_str());
    }
    bool IsOpen() const { return m_nFd >= 0; }
    int GetFd() const { return m_nFd; }
    // Hands the descriptor to the caller, who closes it.
    int Release();
    void Close();

    // Reads every name of the directory. Returns false with errno set when the directory
    // could not be read to its end; the names read before that stay in names. fnGoOn is
    // asked between reads; when it says no, reading stops early (not an error).
    bool ReadNames(CDirNames& names, const std::function<bool()>& fnGoOn = {});
    // Status of the entry pszName of this directory; false with errno set when it cannot
    // be examined (ENOENT: it is gone).
    bool Stat(const char* pszName, SEntryStatus& status) const;

private:
    int m_nFd = -1;
};

// Opens the subdirectory pszRawName of the directory nParentFd; never follows a link.
// Returns the descriptor, or -1 with errno set.
int OpenSubDirectory(int nParentFd, const char* pszRawName);

// Descriptors this process may still open: its current limit less those open now. The
// limit itself is never changed.
std::size_t FreeDescriptorCount();
