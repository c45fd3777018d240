#pragma once

#include <climits>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "platform/ContentHash.h"
#include "platform/FileDescriptor.h"

// Time of an entry whose status cannot be read; it has no calendar time, so it renders as
// the unknown time.
inline constexpr std::int64_t kUnknownTime = INT64_MIN;

// Which file a name leads to: a directory opened again by name must still be the one read.
struct SFileIdentity {
    std::uint64_t nDevice = 0;
    std::uint64_t nInode = 0;

    bool operator==(const SFileIdentity&) const = default;
};

// What an entry is, links not followed.
enum class EFileType : unsigned char { Regular, Directory, Symlink, Other };

// What the file system reports about one entry (links not followed).
struct SEntryStatus {
    bool IsDirectory() const { return eType == EFileType::Directory; }

    EFileType eType = EFileType::Regular;
    std::uint64_t nSize = 0;
    std::int64_t nCreation = 0; // birth time where reported, else status change time
    std::int64_t nLastAccess = 0;
    std::int64_t nLastWrite = 0;
    std::uint32_t nCreationNs = 0; // the nanoseconds of the three times
    std::uint32_t nLastAccessNs = 0;
    std::uint32_t nLastWriteNs = 0;
    bool bReadOnly = false;   // owner write permission clear (Windows: the attribute)
    bool bCompressed = false; // the file system's compressed attribute
    bool bHidden = false;     // set by CDirNames::AddNameAttributes
    bool bSystem = false;     // Windows only: the attribute
    bool bArchive = false;    // Windows only: the attribute
    SFileIdentity identity;
};

// The kind of an entry as the directory itself tells it, before any status is read.
enum class EEntryKind : unsigned char { Unknown, Directory, Regular, Symlink, Other };

// The names of one directory read in one go: raw bytes in enumeration order, without "."
// and "..". The records stay as the kernel wrote them; nothing is copied per name.
class CDirNames {
public:
    std::size_t Count() const { return m_offsets.size(); }
    const char* Name(std::size_t i) const; // NUL-terminated
    EEntryKind Kind(std::size_t i) const;
    // What the directory itself tells of entry i's attributes, also when its status is not
    // read: on Linux a name that begins with "." is hidden; Windows reports every attribute
    // with the names.
    void AddNameAttributes(std::size_t i, SEntryStatus& status) const;
    // Forgets the names but keeps the memory for the next directory.
    void Clear();

private:
    friend class CDirReader;

    std::unique_ptr<char[]> m_pBuffer; // not zeroed: the system writes it
    std::size_t m_nCapacity = 0;
    std::size_t m_nUsed = 0;
    std::vector<std::size_t> m_offsets; // record offsets, "." and ".." left out
};

// A directory opened for reading; everything below it is reached through its descriptor,
// so no path is rebuilt per entry and a renamed parent cannot redirect the scan. Errors come
// back as values; errno is never left for the caller to read.
class CDirReader {
public:
    CDirReader() = default;
    explicit CDirReader(CFileDescriptor fd) : m_fd(std::move(fd)) {}

    // Opens a directory by path (relative to the working directory); follows a link given here.
    std::error_code OpenPath(const std::string& strPath);
    // Opens a subdirectory of parent by its raw name; never follows a link.
    std::error_code OpenChild(const CDirReader& parent, const char* pszRawName);
    bool IsOpen() const { return m_fd.IsOpen(); }
    // Hands the descriptor over, to be kept open once the directory is read.
    CFileDescriptor TakeDescriptor() { return std::move(m_fd); }

    // Reads every name of the directory; an error when it could not be read to its end (the
    // names read before that stay in names). fnGoOn is asked between reads; when it says no,
    // reading stops early (not an error).
    std::error_code ReadNames(CDirNames& names, const std::function<bool()>& fnGoOn = {});
    // Status of the entry pszName of this directory; no_such_file_or_directory when it is gone.
    std::error_code Stat(const char* pszName, SEntryStatus& status) const;
    // Status of entry i of names, read from this directory; where the system reports the
    // status with the names (Windows) nothing more is read.
    std::error_code StatEntry(const CDirNames& names, std::size_t i, SEntryStatus& status) const;
    // Status of the directory itself.
    std::error_code StatSelf(SEntryStatus& status) const;
    // The text of the symbolic link pszName of this directory, exact, however long.
    std::error_code ReadLinkTarget(const char* pszName, std::string& strTarget) const;
    // The content hash of the regular file pszName of this directory (see CContentHasher).
    std::error_code HashFile(CContentHasher& hasher, const char* pszName, SContentDigest& digest,
                             std::uint64_t& nBytesRead) const;

private:
    CFileDescriptor m_fd;
};

// Opens the subdirectory pszRawName of the directory parent into fd; never follows a link.
std::error_code OpenSubDirectory(const CFileDescriptor& parent, const char* pszRawName,
                                 CFileDescriptor& fd);

// Which file the open descriptor fd leads to.
std::error_code IdentityOf(const CFileDescriptor& fd, SFileIdentity& identity);

// Descriptors this process may still open: its current limit less those open now. The
// limit itself is never changed.
std::size_t FreeDescriptorCount();
