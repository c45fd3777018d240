#include "platform/DirReader.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

namespace {

constexpr unsigned kStatxMask =
    STATX_TYPE | STATX_MODE | STATX_SIZE | STATX_ATIME | STATX_MTIME | STATX_CTIME | STATX_BTIME;

void FillFromStatx(const struct statx& stx, SDirEntry& entry) {
    entry.bDirectory = S_ISDIR(stx.stx_mode);
    entry.nSize = stx.stx_size;
    entry.nLastAccess = stx.stx_atime.tv_sec;
    entry.nLastWrite = stx.stx_mtime.tv_sec;
    entry.nCreation = (stx.stx_mask & STATX_BTIME) ? stx.stx_btime.tv_sec : stx.stx_ctime.tv_sec;
    entry.bReadOnly = (stx.stx_mode & S_IWUSR) == 0;
    entry.bCompressed = (stx.stx_attributes_mask & STATX_ATTR_COMPRESSED) &&
                        (stx.stx_attributes & STATX_ATTR_COMPRESSED);
}

} // namespace

CDirReader::CDirReader(CDirReader&& other) noexcept
    : m_pDir(std::exchange(other.m_pDir, nullptr)) {}

CDirReader& CDirReader::operator=(CDirReader&& other) noexcept {
    if (this != &other) {
        Close();
        m_pDir = std::exchange(other.m_pDir, nullptr);
    }
    return *this;
}

CDirReader::~CDirReader() {
    Close();
}

void CDirReader::Close() {
    if (m_pDir != nullptr) {
        closedir(m_pDir);
        m_pDir = nullptr;
    }
}

bool CDirReader::Adopt(int nFd) {
    if (nFd < 0)
        return false;
    m_pDir = fdopendir(nFd);
    if (m_pDir == nullptr) {
        close(nFd);
        return false;
    }
    return true;
}

bool CDirReader::OpenPath(const std::string& strPath) {
    Close();
    if (strPath.empty())
        return false;
    return Adopt(open(strPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
}

bool CDirReader::OpenChild(const CDirReader& parent, const std::string& strRawName) {
    Close();
    if (!parent.IsOpen())
        return false;
    return Adopt(openat(dirfd(parent.m_pDir), strRawName.c_str(),
                        O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
}

void CDirReader::ReadAll(std::vector<SDirEntry>& entries,
                         const std::function<void(std::size_t)>& fnProgress,
                         std::size_t nProgressEvery) {
    entries.clear();
    if (m_pDir == nullptr)
        return;
    const int nFd = dirfd(m_pDir);
    for (;;) {
        errno = 0;
        const dirent* pEnt = readdir(m_pDir);
        if (pEnt == nullptr)
            break;
        const char* pszName = pEnt->d_name;
        if (std::strcmp(pszName, ".") == 0 || std::strcmp(pszName, "..") == 0)
            continue;
        struct statx stx {};
        const bool bStat =
            statx(nFd, pszName, AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT, kStatxMask, &stx) == 0;
        if (!bStat && errno == ENOENT)
            continue; // gone since it was enumerated
        SDirEntry& entry = entries.emplace_back();
        entry.strRawName = pszName;
        if (bStat) {
            FillFromStatx(stx, entry);
        } else {
            // Readable names without search permission: list the entry with what readdir
            // knows rather than lose it; its size is unknown and its times show as unknown.
            entry.bDirectory = pEnt->d_type == DT_DIR;
            entry.nCreation = entry.nLastAccess = entry.nLastWrite = kUnknownTime;
        }
        entry.bHidden = pszName[0] == '.';
        if (fnProgress && nProgressEvery > 0 && entries.size() % nProgressEvery == 0)
            fnProgress(entries.size());
    }
}

void RaiseOpenFileLimit() {
    rlimit lim{};
    if (getrlimit(RLIMIT_NOFILE, &lim) == 0 && lim.rlim_cur < lim.rlim_max) {
        lim.rlim_cur = lim.rlim_max;
        setrlimit(RLIMIT_NOFILE, &lim);
    }
}
