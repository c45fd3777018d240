#include "platform/FileRead.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace {

std::error_code LastError() {
    return {errno, std::generic_category()};
}

std::error_code Opened(int nFd, CFileDescriptor& fd) {
    if (nFd < 0)
        return LastError();
    fd = CFileDescriptor(nFd);
    return {};
}

} // namespace

std::error_code OpenForReading(const std::string& strPath, CFileDescriptor& fd) {
    return Opened(open(strPath.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK), fd);
}

std::error_code OpenForAppending(const std::string& strPath, CFileDescriptor& fd) {
    return Opened(open(strPath.c_str(), O_RDWR | O_APPEND | O_CREAT | O_CLOEXEC | O_NONBLOCK, 0666),
                  fd);
}

std::error_code KindOf(const CFileDescriptor& fd, SFileKind& kind) {
    struct stat st {};
    if (fstat(fd.Get(), &st) != 0)
        return LastError();
    kind.bRegular = S_ISREG(st.st_mode);
    kind.bDirectory = S_ISDIR(st.st_mode);
    kind.nSize = kind.bRegular ? static_cast<std::uint64_t>(st.st_size) : 0;
    return {};
}

std::error_code ReadSome(const CFileDescriptor& fd, char* p, std::size_t nSize,
                         std::size_t& nRead) {
    for (;;) {
        const ssize_t n = read(fd.Get(), p, nSize);
        if (n >= 0) {
            nRead = static_cast<std::size_t>(n);
            return {};
        }
        if (errno != EINTR)
            return LastError();
    }
}

std::error_code ReadAt(const CFileDescriptor& fd, std::uint64_t nOffset, char* p,
                       std::size_t nSize, std::size_t& nRead) {
    const ssize_t n = pread(fd.Get(), p, nSize, static_cast<off_t>(nOffset));
    if (n < 0)
        return LastError();
    nRead = static_cast<std::size_t>(n);
    return {};
}

std::error_code TruncateTo(const CFileDescriptor& fd, std::uint64_t nSize) {
    return ftruncate(fd.Get(), static_cast<off_t>(nSize)) == 0 ? std::error_code{} : LastError();
}

std::error_code CloseWritten(CFileDescriptor& fd) {
    return close(fd.Release()) == 0 ? std::error_code{} : LastError();
}

std::FILE* StreamFor(CFileDescriptor& fd) {
    std::FILE* pFile = fdopen(fd.Get(), "rb");
    if (pFile != nullptr)
        fd.Release();
    return pFile;
}

bool IsDirectoryPath(const std::string& strPath) {
    struct stat st {};
    return stat(strPath.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool IsRegularFilePath(const std::string& strPath) {
    struct stat st {};
    return stat(strPath.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}
