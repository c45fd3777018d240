// Faults of real disks and file systems, injected at the C library's edge so that the
// real scan meets them: getdents64 that fails part way or reports no entry kinds, reads
// and status calls that take their time, and files that change while they are read.
//
//   KWL_TEST_READ_ERROR=NAME   in every directory named NAME, the first read returns only a
//                              few entries and every later read fails with EIO
//   KWL_TEST_UNKNOWN_KIND=1    every entry comes back as DT_UNKNOWN, as some file systems do
//   KWL_TEST_SLOW_READ=N       every read first waits N microseconds, as on a cold disk
//   KWL_TEST_SLOW_STAT=N       every statx first waits N microseconds
//   KWL_TEST_SLOW_WRITE=N      every write first waits N microseconds, as on a slow share
//   KWL_TEST_CHANGE_ON_READ=HOW:NAME
//                              the file NAME changes right after a read from its first byte:
//                              HOW "shrink" cuts it to half its length and "append" adds 16
//                              bytes, both once; "always" appends after every such read, so
//                              the file keeps changing while anyone reads it
//
// Every statx call is counted (KwlTestStatxCalls), so that a test can tell what a scan read.
//
// Linked into a test program it takes the place of the C library's function; built as a
// shared library it is preloaded into kwl-list. Without the variables it changes nothing.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

namespace {

void WaitIfAsked(const char* pszVariable) {
    if (const char* pszWait = std::getenv(pszVariable))
        usleep(static_cast<useconds_t>(std::atoi(pszWait)));
}

// Room for "." and ".." and a few short names.
constexpr std::size_t kFirstReadBytes = 200;

// The /proc name of the descriptor: the file it is open on, whatever its name is now.
std::string_view DescriptorPath(int nFd, char (&szLink)[64]) {
    std::snprintf(szLink, sizeof szLink, "/proc/self/fd/%d", nFd);
    return szLink;
}

bool IsNamed(int nFd, const char* pszName) {
    char szLink[64];
    char szPath[4096];
    const ssize_t n = readlink(DescriptorPath(nFd, szLink).data(), szPath, sizeof szPath - 1);
    if (n <= 0)
        return false;
    szPath[n] = '\0';
    const char* pszSlash = std::strrchr(szPath, '/');
    return std::strcmp(pszSlash != nullptr ? pszSlash + 1 : szPath, pszName) == 0;
}

std::atomic<unsigned long> g_nStatxCalls{0};
std::atomic<bool> g_bChangedOnce{false};

// KWL_TEST_CHANGE_ON_READ: the file open as nFd was just read from its start.
void ChangeAfterFirstRead(int nFd, const char* pszHowAndName) {
    const char* pszColon = std::strchr(pszHowAndName, ':');
    if (pszColon == nullptr || !IsNamed(nFd, pszColon + 1))
        return;
    const std::string_view strHow(pszHowAndName, static_cast<std::size_t>(pszColon - pszHowAndName));
    if (strHow != "always" && g_bChangedOnce.exchange(true))
        return;
    char szLink[64];
    const char* pszPath = DescriptorPath(nFd, szLink).data();
    if (strHow == "shrink") {
        struct stat st {};
        if (fstat(nFd, &st) == 0 && truncate(pszPath, st.st_size / 2) != 0)
            std::perror("KWL_TEST_CHANGE_ON_READ");
        return;
    }
    const int nAppend = open(pszPath, O_WRONLY | O_APPEND | O_CLOEXEC);
    if (nAppend < 0 || write(nAppend, "0123456789abcdef", 16) != 16)
        std::perror("KWL_TEST_CHANGE_ON_READ");
    if (nAppend >= 0)
        close(nAppend);
}

} // namespace

extern "C" unsigned long KwlTestStatxCalls() noexcept {
    return g_nStatxCalls.load();
}

extern "C" ssize_t getdents64(int nFd, void* pBuffer, size_t nLength) noexcept {
    WaitIfAsked("KWL_TEST_SLOW_READ");
    const char* pszFailIn = std::getenv("KWL_TEST_READ_ERROR");
    if (pszFailIn != nullptr && IsNamed(nFd, pszFailIn)) {
        if (lseek(nFd, 0, SEEK_CUR) != 0) {
            errno = EIO;
            return -1;
        }
        if (nLength > kFirstReadBytes)
            nLength = kFirstReadBytes;
    }
    const long nRead = syscall(SYS_getdents64, nFd, pBuffer, nLength);
    if (nRead > 0 && std::getenv("KWL_TEST_UNKNOWN_KIND") != nullptr) {
        auto* pBytes = static_cast<char*>(pBuffer);
        for (long nPos = 0; nPos < nRead;) {
            auto* pEnt = reinterpret_cast<dirent64*>(pBytes + nPos);
            pEnt->d_type = DT_UNKNOWN;
            nPos += pEnt->d_reclen;
        }
    }
    return static_cast<ssize_t>(nRead);
}

extern "C" ssize_t read(int nFd, void* pBuffer, size_t nLength) {
    const char* pszChange = std::getenv("KWL_TEST_CHANGE_ON_READ");
    const bool bFromStart = pszChange != nullptr && lseek(nFd, 0, SEEK_CUR) == 0;
    const long nRead = syscall(SYS_read, nFd, pBuffer, nLength);
    if (bFromStart && nRead > 0)
        ChangeAfterFirstRead(nFd, pszChange);
    return static_cast<ssize_t>(nRead);
}

extern "C" ssize_t write(int nFd, const void* pBuffer, size_t nLength) {
    WaitIfAsked("KWL_TEST_SLOW_WRITE");
    return static_cast<ssize_t>(syscall(SYS_write, nFd, pBuffer, nLength));
}

extern "C" int statx(int nDirFd, const char* pszPath, int nFlags, unsigned int nMask,
                     struct statx* pStatus) noexcept {
    WaitIfAsked("KWL_TEST_SLOW_STAT");
    g_nStatxCalls.fetch_add(1);
    return static_cast<int>(syscall(SYS_statx, nDirFd, pszPath, nFlags, nMask, pStatus));
}
