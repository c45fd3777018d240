#include "platform/DirReader.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstring>
#include <utility>

namespace {

constexpr unsigned kStatxMask = STATX_TYPE | STATX_MODE | STATX_SIZE | STATX_ATIME | STATX_MTIME |
                                STATX_CTIME | STATX_BTIME | STATX_INO;

// One read asks for at least this much room; a directory of a few dozen names fits at once.
constexpr std::size_t kReadSize = 32 * 1024;

EFileType TypeOf(unsigned nMode) {
    if (S_ISREG(nMode))
        return EFileType::Regular;
    if (S_ISDIR(nMode))
        return EFileType::Directory;
    return S_ISLNK(nMode) ? EFileType::Symlink : EFileType::Other;
}

void FillFromStatx(const struct statx& stx, SEntryStatus& status) {
    status.eType = TypeOf(stx.stx_mode);
    status.nSize = stx.stx_size;
    status.nLastAccess = stx.stx_atime.tv_sec;
    status.nLastAccessNs = stx.stx_atime.tv_nsec;
    status.nLastWrite = stx.stx_mtime.tv_sec;
    status.nLastWriteNs = stx.stx_mtime.tv_nsec;
    const struct statx_timestamp& creation =
        (stx.stx_mask & STATX_BTIME) ? stx.stx_btime : stx.stx_ctime;
    status.nCreation = creation.tv_sec;
    status.nCreationNs = creation.tv_nsec;
    status.bReadOnly = (stx.stx_mode & S_IWUSR) == 0;
    status.bCompressed = (stx.stx_attributes_mask & STATX_ATTR_COMPRESSED) &&
                         (stx.stx_attributes & STATX_ATTR_COMPRESSED);
    status.identity = {makedev(stx.stx_dev_major, stx.stx_dev_minor), stx.stx_ino};
}

bool IsDotOrDotDot(const char* psz) {
    return psz[0] == '.' && (psz[1] == '\0' || (psz[1] == '.' && psz[2] == '\0'));
}

// The error the system call that just failed reported through errno, as a value.
std::error_code LastError() {
    return {errno, std::generic_category()};
}

// The descriptor of a successful open, or the error of a failed one.
std::error_code Opened(int nFd, CFileDescriptor& fd) {
    if (nFd < 0)
        return LastError();
    fd = CFileDescriptor(nFd);
    return {};
}

} // namespace

// ---- CDirNames ----

const char* CDirNames::Name(std::size_t i) const {
    return m_pBuffer.get() + m_offsets[i] + offsetof(struct dirent64, d_name);
}

EEntryKind CDirNames::Kind(std::size_t i) const {
    switch (
        static_cast<unsigned char>(m_pBuffer[m_offsets[i] + offsetof(struct dirent64, d_type)])) {
    case DT_UNKNOWN:
        return EEntryKind::Unknown;
    case DT_DIR:
        return EEntryKind::Directory;
    case DT_REG:
        return EEntryKind::Regular;
    case DT_LNK:
        return EEntryKind::Symlink;
    default:
        return EEntryKind::Other;
    }
}

void CDirNames::Clear() {
    m_nUsed = 0;
    m_offsets.clear();
}

// ---- CDirReader ----

std::error_code CDirReader::OpenPath(const std::string& strPath) {
    m_fd.Close();
    if (strPath.empty())
        return std::make_error_code(std::errc::no_such_file_or_directory);
    return Opened(open(strPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC), m_fd);
}

std::error_code CDirReader::OpenChild(const CDirReader& parent, const char* pszRawName) {
    m_fd.Close();
    return OpenSubDirectory(parent.m_fd, pszRawName, m_fd);
}

std::error_code CDirReader::ReadNames(CDirNames& names, const std::function<bool()>& fnGoOn) {
    names.Clear();
    if (!m_fd.IsOpen())
        return std::make_error_code(std::errc::bad_file_descriptor);
    for (;;) {
        if (names.m_nCapacity - names.m_nUsed < kReadSize) {
            const std::size_t nNew = names.m_nCapacity == 0 ? kReadSize : names.m_nCapacity * 2;
            auto pNew = std::make_unique_for_overwrite<char[]>(nNew);
            if (names.m_nUsed > 0)
                std::memcpy(pNew.get(), names.m_pBuffer.get(), names.m_nUsed);
            names.m_pBuffer = std::move(pNew);
            names.m_nCapacity = nNew;
        }
        char* pStart = names.m_pBuffer.get() + names.m_nUsed;
        const ssize_t nRead = getdents64(m_fd.Get(), pStart, names.m_nCapacity - names.m_nUsed);
        if (nRead < 0) {
            if (errno == EINTR)
                continue;
            return LastError(); // a read error is not the end of the directory
        }
        if (nRead == 0)
            return {};
        for (std::size_t nPos = 0; nPos < static_cast<std::size_t>(nRead);) {
            unsigned short nRecLen = 0;
            std::memcpy(&nRecLen, pStart + nPos + offsetof(struct dirent64, d_reclen),
                        sizeof nRecLen);
            if (!IsDotOrDotDot(pStart + nPos + offsetof(struct dirent64, d_name)))
                names.m_offsets.push_back(names.m_nUsed + nPos);
            nPos += nRecLen;
        }
        names.m_nUsed += static_cast<std::size_t>(nRead);
        if (fnGoOn && !fnGoOn())
            return {};
    }
}

std::error_code CDirReader::Stat(const char* pszName, SEntryStatus& status) const {
    struct statx stx {};
    if (statx(m_fd.Get(), pszName, AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT, kStatxMask, &stx) != 0)
        return LastError();
    FillFromStatx(stx, status);
    return {};
}

std::error_code CDirReader::StatSelf(SEntryStatus& status) const {
    struct statx stx {};
    if (statx(m_fd.Get(), "", AT_EMPTY_PATH | AT_SYMLINK_NOFOLLOW, kStatxMask, &stx) != 0)
        return LastError();
    FillFromStatx(stx, status);
    return {};
}

std::error_code CDirReader::ReadLinkTarget(const char* pszName, std::string& strTarget) const {
    // The size that lstat reports can be wrong (procfs says 0) or change: grow until it fits.
    std::string strBuffer(256, '\0');
    for (;;) {
        const ssize_t nRead = readlinkat(m_fd.Get(), pszName, strBuffer.data(), strBuffer.size());
        if (nRead < 0)
            return LastError();
        if (static_cast<std::size_t>(nRead) < strBuffer.size()) {
            strBuffer.resize(static_cast<std::size_t>(nRead));
            strTarget = std::move(strBuffer);
            return {};
        }
        strBuffer.resize(strBuffer.size() * 2);
    }
}

std::error_code OpenSubDirectory(const CFileDescriptor& parent, const char* pszRawName,
                                 CFileDescriptor& fd) {
    if (!parent.IsOpen())
        return std::make_error_code(std::errc::bad_file_descriptor);
    return Opened(openat(parent.Get(), pszRawName, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC),
                  fd);
}

std::error_code IdentityOf(const CFileDescriptor& fd, SFileIdentity& identity) {
    struct stat st {};
    if (fstat(fd.Get(), &st) != 0)
        return LastError();
    identity = {st.st_dev, st.st_ino};
    return {};
}

std::size_t FreeDescriptorCount() {
    rlimit lim{};
    if (getrlimit(RLIMIT_NOFILE, &lim) != 0 || lim.rlim_cur == RLIM_INFINITY)
        return 1u << 20;
    std::size_t nOpen = 8; // a guess, should /proc not be there
    CDirReader fds;
    CDirNames names;
    if (!fds.OpenPath("/proc/self/fd") && !fds.ReadNames(names))
        nOpen = names.Count(); // includes the descriptor that reads the list, closed below
    const auto nLimit = static_cast<std::size_t>(lim.rlim_cur);
    return nLimit > nOpen ? nLimit - nOpen : 0;
}

std::error_code CDirReader::HashFile(CContentHasher& hasher, const char* pszName,
                                     SContentDigest& digest, std::uint64_t& nBytesRead) const {
    return hasher.HashFileAt(m_fd.Get(), pszName, digest, nBytesRead);
}

void CDirNames::AddNameAttributes(std::size_t i, SEntryStatus& status) const {
    status.bHidden = Name(i)[0] == '.';
}

std::error_code CDirReader::StatEntry(const CDirNames& names, std::size_t i,
                                      SEntryStatus& status) const {
    return Stat(names.Name(i), status);
}
