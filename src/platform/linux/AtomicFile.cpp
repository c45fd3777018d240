#include "platform/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <mutex>
#include <random>
#include <string_view>

namespace {

// The kernel's own limit for the links of one path.
constexpr int kMaxLinks = 40;
constexpr int kMaxTempTries = 100;

// Splits strPath into the folder to open and the name in it. Fails with EISDIR when the path
// can only name a directory ("/", "dir/", ".", "..").
bool SplitPath(std::string_view strPath, std::string& strDir, std::string& strName) {
    const std::size_t nSlash = strPath.rfind('/');
    if (nSlash == std::string_view::npos) {
        strDir = ".";
        strName = strPath;
    } else {
        strDir = nSlash == 0 ? "/" : std::string(strPath.substr(0, nSlash));
        strName = strPath.substr(nSlash + 1);
    }
    if (strName.empty() || strName == "." || strName == "..") {
        errno = EISDIR;
        return false;
    }
    return true;
}

bool ReadLink(int nDirFd, const std::string& strName, std::string& strTarget) {
    strTarget.resize(PATH_MAX);
    const ssize_t n = readlinkat(nDirFd, strName.c_str(), strTarget.data(), strTarget.size());
    if (n < 0)
        return false;
    if (static_cast<std::size_t>(n) == strTarget.size()) {
        errno = ENAMETOOLONG;
        return false;
    }
    strTarget.resize(static_cast<std::size_t>(n));
    return true;
}

// A hidden name of fixed length, whatever the length of the target's name.
std::string TemporaryName(std::random_device& random) {
    constexpr std::string_view kChars = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::string strName = ".kwl-";
    for (int i = 0; i < 12; ++i)
        strName += kChars[random() % kChars.size()];
    return strName + ".tmp";
}

// Temporary files alive now. Ctrl+C, a hang-up or a kill ends the process without unwinding;
// the handler removes them first, so no half-written file is left behind. A signal handler may
// neither lock nor allocate: the files sit in fixed slots, published by an atomic state.
constexpr std::size_t kTempSlots = 16;
constexpr std::size_t kTempNameRoom = 32;

struct STempSlot {
    enum : int { kFree, kFilling, kLive };
    std::atomic<int> nState{kFree};
    int nDirFd = -1;
    std::array<char, kTempNameRoom> szName{};
};
std::array<STempSlot, kTempSlots> g_temps;

constexpr std::array kEndingSignals = {SIGINT, SIGTERM, SIGHUP};

void RemoveTempsAndEnd(int nSignal) {
    for (STempSlot& slot : g_temps) {
        if (slot.nState.load(std::memory_order_acquire) == STempSlot::kLive)
            unlinkat(slot.nDirFd, slot.szName.data(), 0);
    }
    // The default action then ends the process, so its parent sees the signal as always.
    std::signal(nSignal, SIG_DFL);
    std::raise(nSignal);
}

// Only signals that would end the process get the handler: one the program or its caller
// ignores (nohup) or handles itself stays as it is.
void InstallRemovalHandler() {
    for (const int nSignal : kEndingSignals) {
        struct sigaction old {};
        if (sigaction(nSignal, nullptr, &old) != 0 || old.sa_handler != SIG_DFL)
            continue;
        struct sigaction action {};
        action.sa_handler = RemoveTempsAndEnd;
        sigemptyset(&action.sa_mask);
        for (const int nBlocked : kEndingSignals)
            sigaddset(&action.sa_mask, nBlocked);
        sigaction(nSignal, &action, nullptr);
    }
}

// When all slots are taken the file is only removed by a normal exit, as it always was.
void RegisterTemp(int nDirFd, const std::string& strName) {
    static std::once_flag once;
    std::call_once(once, InstallRemovalHandler);
    if (strName.size() >= kTempNameRoom)
        return;
    for (STempSlot& slot : g_temps) {
        int nFree = STempSlot::kFree;
        if (!slot.nState.compare_exchange_strong(nFree, STempSlot::kFilling))
            continue;
        slot.nDirFd = nDirFd;
        std::memcpy(slot.szName.data(), strName.c_str(), strName.size() + 1);
        slot.nState.store(STempSlot::kLive, std::memory_order_release);
        return;
    }
}

void ForgetTemp(int nDirFd, const std::string& strName) {
    for (STempSlot& slot : g_temps) {
        if (slot.nState.load(std::memory_order_acquire) == STempSlot::kLive &&
            slot.nDirFd == nDirFd && strName == slot.szName.data()) {
            slot.nState.store(STempSlot::kFree, std::memory_order_release);
            return;
        }
    }
}

} // namespace

CAtomicFile::~CAtomicFile() {
    Discard();
    CloseFolder();
}

bool CAtomicFile::Resolve(const std::string& strPath) {
    Discard();
    CloseFolder();
    m_bDirect = false;
    m_bExists = false;
    if (strPath.empty()) {
        errno = ENOENT;
        return false;
    }
    std::string strDir;
    if (!SplitPath(strPath, strDir, m_strName))
        return false;
    m_nDirFd = open(strDir.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (m_nDirFd < 0)
        return false;
    // What the path names in the end, links followed by the system.
    struct stat st {};
    bool bOk = true;
    if (fstatat(m_nDirFd, m_strName.c_str(), &st, 0) == 0) {
        if (S_ISDIR(st.st_mode)) {
            errno = EISDIR;
            bOk = false;
        } else {
            // Devices and pipes are written through their own name: a link such as /dev/stdout
            // leads to names that only the system itself can open.
            m_bDirect = !S_ISREG(st.st_mode);
        }
    } else if (errno != ENOENT) {
        bOk = false;
    }
    bOk = bOk && (m_bDirect || FollowLinks()) && CheckWritable();
    if (!bOk)
        CloseFolder();
    return bOk;
}

bool CAtomicFile::Create() {
    Discard();
    if (m_nDirFd < 0) {
        errno = EBADF;
        return false;
    }
    if (m_bDirect) {
        m_nFd = openat(m_nDirFd, m_strName.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
        return m_nFd >= 0;
    }
    return CreateTemporary();
}

bool CAtomicFile::Open(const std::string& strPath) {
    return Resolve(strPath) && Create();
}

bool CAtomicFile::Commit() {
    if (m_nFd < 0) {
        errno = EBADF;
        return false;
    }
    if (m_bDirect) {
        const int nClose = close(m_nFd);
        m_nFd = -1;
        return nClose == 0;
    }
    // Without the sync a crash after the rename could leave the target empty.
    if (fsync(m_nFd) != 0) {
        Discard();
        return false;
    }
    // A full disk can show only at the close (network file systems report late).
    const int nClose = close(m_nFd);
    m_nFd = -1;
    if (nClose != 0 || renameat(m_nDirFd, m_strTemp.c_str(), m_nDirFd, m_strName.c_str()) != 0) {
        Discard();
        return false;
    }
    ForgetTemp(m_nDirFd, m_strTemp);
    m_strTemp.clear();
    // Makes the rename itself durable; the data is safe either way, so errors do not count.
    const int nFolder = openat(m_nDirFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (nFolder >= 0) {
        fsync(nFolder);
        close(nFolder);
    }
    return true;
}

void CAtomicFile::Discard() {
    const int nErrno = errno;
    if (m_nFd >= 0) {
        close(m_nFd);
        m_nFd = -1;
    }
    if (!m_strTemp.empty()) {
        unlinkat(m_nDirFd, m_strTemp.c_str(), 0);
        ForgetTemp(m_nDirFd, m_strTemp);
        m_strTemp.clear();
    }
    errno = nErrno;
}

// Follows a symbolic link at the target name until it reaches a file or a free name, holding
// the folder of each step, so a relative link counts from the link's own folder.
bool CAtomicFile::FollowLinks() {
    for (int nLinks = 0;; ++nLinks) {
        struct stat st {};
        if (fstatat(m_nDirFd, m_strName.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
            if (errno != ENOENT)
                return false;
            m_bExists = false;
            return true;
        }
        if (!S_ISLNK(st.st_mode)) {
            if (S_ISDIR(st.st_mode)) {
                errno = EISDIR;
                return false;
            }
            m_bExists = true;
            return true;
        }
        if (nLinks == kMaxLinks) {
            errno = ELOOP;
            return false;
        }
        std::string strTarget;
        std::string strDir;
        if (!ReadLink(m_nDirFd, m_strName, strTarget) || !SplitPath(strTarget, strDir, m_strName))
            return false;
        // An absolute link target ignores the folder it is resolved from.
        const int nDirFd = openat(m_nDirFd, strDir.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
        if (nDirFd < 0)
            return false;
        close(m_nDirFd);
        m_nDirFd = nDirFd;
    }
}

// The system's own check for the caller's effective ids; a read-only mount answers EROFS.
// A file the user has made read-only is refused, as opening it for writing would be.
bool CAtomicFile::CheckWritable() {
    if ((m_bDirect || m_bExists) && faccessat(m_nDirFd, m_strName.c_str(), W_OK, AT_EACCESS) != 0)
        return false;
    return m_bDirect || faccessat(m_nDirFd, ".", W_OK | X_OK, AT_EACCESS) == 0;
}

bool CAtomicFile::CreateTemporary() {
    struct stat st {};
    const bool bExists =
        fstatat(m_nDirFd, m_strName.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode);
    // The old content may be private: the new one stays private until it has the old mode.
    const mode_t nMode = bExists ? 0600 : 0666;
    std::random_device random;
    for (int nTry = 0; nTry < kMaxTempTries && m_nFd < 0; ++nTry) {
        m_strTemp = TemporaryName(random);
        m_nFd = openat(m_nDirFd, m_strTemp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, nMode);
        if (m_nFd < 0 && errno != EEXIST)
            break;
    }
    if (m_nFd < 0) {
        m_strTemp.clear();
        return false;
    }
    RegisterTemp(m_nDirFd, m_strTemp);
    if (bExists) {
        // When root rewrites another user's file it stays theirs; anyone else fails harmlessly.
        [[maybe_unused]] const int nChown = fchown(m_nFd, st.st_uid, st.st_gid);
        if (fchmod(m_nFd, st.st_mode & 07777) != 0) {
            Discard();
            return false;
        }
    }
    return true;
}

void CAtomicFile::CloseFolder() {
    if (m_nDirFd >= 0) {
        const int nErrno = errno;
        close(m_nDirFd);
        m_nDirFd = -1;
        errno = nErrno;
    }
}
