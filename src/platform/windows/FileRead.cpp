#include "platform/FileRead.h"

#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cerrno>

#include "platform/windows/WinFile.h"

namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

std::error_code OpenByPath(const std::string& strPath, DWORD nAccess, DWORD nDisposition,
                           int nFlags, CFileDescriptor& fd) {
    std::wstring strSystemPath;
    if (const std::error_code ec = SystemPath(strPath, strSystemPath))
        return ec;
    // Backup semantics: a directory opens too, so that it is refused as one (EISDIR), not
    // as a missing file.
    CHandle handle(CreateFileW(strSystemPath.c_str(), nAccess, kShareAll, nullptr, nDisposition,
                               FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (handle.get() == INVALID_HANDLE_VALUE) {
        handle.release();
        return LastWin32Error();
    }
    return DescriptorFor(std::move(handle), nFlags, fd);
}

} // namespace

std::error_code OpenForReading(const std::string& strPath, CFileDescriptor& fd) {
    return OpenByPath(strPath, GENERIC_READ, OPEN_EXISTING, _O_RDONLY, fd);
}

std::error_code OpenForAppending(const std::string& strPath, CFileDescriptor& fd) {
    if (const std::error_code ec =
            OpenByPath(strPath, GENERIC_READ | GENERIC_WRITE, OPEN_ALWAYS, _O_RDWR | _O_APPEND, fd))
        return ec;
    // Writes go to the handle, which has no append mode (the descriptor's is the C library's):
    // they start at its end, not over the first bytes of the file.
    const HANDLE h = HandleOf(fd.Get());
    if (GetFileType(h) == FILE_TYPE_DISK &&
        !SetFilePointerEx(h, LARGE_INTEGER{}, nullptr, FILE_END))
        return LastWin32Error();
    return {};
}

std::error_code KindOf(const CFileDescriptor& fd, SFileKind& kind) {
    const HANDLE h = HandleOf(fd.Get());
    kind = SFileKind{};
    if (GetFileType(h) != FILE_TYPE_DISK)
        return {}; // a pipe, console or device: neither
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(h, &info))
        return LastWin32Error();
    kind.bDirectory = (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    kind.bRegular = !kind.bDirectory;
    if (kind.bRegular)
        kind.nSize = (static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    return {};
}

std::error_code ReadSome(const CFileDescriptor& fd, char* p, std::size_t nSize,
                         std::size_t& nRead) {
    DWORD nDone = 0;
    const DWORD nAsk = nSize > 0x40000000 ? 0x40000000 : static_cast<DWORD>(nSize);
    if (!ReadFile(HandleOf(fd.Get()), p, nAsk, &nDone, nullptr)) {
        const DWORD nError = GetLastError();
        if (nError != ERROR_BROKEN_PIPE) // a pipe's writer has gone: its end
            return ErrorFromWin32(nError);
    }
    nRead = nDone;
    return {};
}

std::error_code ReadAt(const CFileDescriptor& fd, std::uint64_t nOffset, char* p, std::size_t nSize,
                       std::size_t& nRead) {
    const HANDLE h = HandleOf(fd.Get());
    LARGE_INTEGER before{};
    LARGE_INTEGER at{};
    at.QuadPart = static_cast<LONGLONG>(nOffset);
    if (!SetFilePointerEx(h, LARGE_INTEGER{}, &before, FILE_CURRENT) ||
        !SetFilePointerEx(h, at, nullptr, FILE_BEGIN))
        return LastWin32Error();
    const std::error_code ec = ReadSome(fd, p, nSize, nRead);
    SetFilePointerEx(h, before, nullptr, FILE_BEGIN);
    return ec;
}

std::error_code TruncateTo(const CFileDescriptor& fd, std::uint64_t nSize) {
    FILE_END_OF_FILE_INFO info{};
    info.EndOfFile.QuadPart = static_cast<LONGLONG>(nSize);
    if (!SetFileInformationByHandle(HandleOf(fd.Get()), FileEndOfFileInfo, &info, sizeof info))
        return LastWin32Error();
    return {};
}

std::error_code CloseWritten(CFileDescriptor& fd) {
    return _close(fd.Release()) == 0 ? std::error_code{}
                                     : std::error_code(errno, std::generic_category());
}

std::FILE* StreamFor(CFileDescriptor& fd) {
    std::FILE* pFile = _fdopen(fd.Get(), "rb");
    if (pFile != nullptr)
        fd.Release();
    return pFile;
}

std::error_code IsDirectoryPath(const std::string& strPath, bool& bDirectory) {
    CFileDescriptor fd;
    SFileKind kind;
    std::error_code ec = OpenByPath(strPath, FILE_READ_ATTRIBUTES, OPEN_EXISTING, _O_RDONLY, fd);
    if (!ec)
        ec = KindOf(fd, kind);
    bDirectory = kind.bDirectory;
    return ec;
}

bool IsRegularFilePath(const std::string& strPath) {
    CFileDescriptor fd;
    SFileKind kind;
    return !OpenByPath(strPath, FILE_READ_ATTRIBUTES, OPEN_EXISTING, _O_RDONLY, fd) &&
           !KindOf(fd, kind) && kind.bRegular;
}
