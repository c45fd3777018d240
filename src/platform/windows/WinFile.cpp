#include "platform/windows/WinFile.h"

#include <winternl.h>

#include <fcntl.h>
#include <io.h>

#include <cerrno>
#include <iterator>
#include <vector>

#include "platform/Wtf8.h"

namespace {

// Errors that MinGW's headers leave out.
constexpr DWORD kErrorStoppedOnSymlink = 681;
constexpr DWORD kErrorDiskQuotaExceeded = 1295;

struct SErrnoOf {
    DWORD nError;
    int nErrno;
};

// The C runtime's own table, with the Linux view where it differs (a bad name is a missing
// file, a full disk is ENOSPC).
constexpr SErrnoOf kErrnoOf[] = {
    {ERROR_FILE_NOT_FOUND, ENOENT},
    {ERROR_PATH_NOT_FOUND, ENOENT},
    {ERROR_INVALID_DRIVE, ENOENT},
    {ERROR_BAD_NETPATH, ENOENT},
    {ERROR_BAD_NET_NAME, ENOENT},
    {ERROR_INVALID_NAME, ENOENT},
    {ERROR_BAD_PATHNAME, ENOENT},
    {ERROR_NOT_READY, ENOENT},
    {ERROR_TOO_MANY_OPEN_FILES, EMFILE},
    {ERROR_ACCESS_DENIED, EACCES},
    {ERROR_SHARING_VIOLATION, EACCES},
    {ERROR_LOCK_VIOLATION, EACCES},
    {ERROR_NETWORK_ACCESS_DENIED, EACCES},
    {ERROR_CANT_ACCESS_FILE, EACCES},
    {ERROR_PRIVILEGE_NOT_HELD, EPERM},
    {ERROR_INVALID_HANDLE, EBADF},
    {ERROR_NOT_ENOUGH_MEMORY, ENOMEM},
    {ERROR_OUTOFMEMORY, ENOMEM},
    {ERROR_WRITE_PROTECT, EROFS},
    {ERROR_NOT_SAME_DEVICE, EXDEV},
    {ERROR_HANDLE_DISK_FULL, ENOSPC},
    {ERROR_DISK_FULL, ENOSPC},
    {kErrorDiskQuotaExceeded, EDQUOT},
    {ERROR_FILE_EXISTS, EEXIST},
    {ERROR_ALREADY_EXISTS, EEXIST},
    {ERROR_INVALID_PARAMETER, EINVAL},
    {ERROR_BROKEN_PIPE, EPIPE},
    {ERROR_NO_DATA, EPIPE},
    {ERROR_DIR_NOT_EMPTY, ENOTEMPTY},
    {ERROR_FILENAME_EXCED_RANGE, ENAMETOOLONG},
    {ERROR_DIRECTORY, ENOTDIR},
    {kErrorStoppedOnSymlink, ELOOP},
    {ERROR_CANT_RESOLVE_FILENAME, ELOOP},
    {ERROR_OPERATION_ABORTED, EINTR},
};

} // namespace

std::wstring WideFromUtf8(std::string_view strText) {
    const std::u16string str = Utf16FromWtf8(strText);
    return {str.begin(), str.end()};
}

std::string Utf8FromWide(std::wstring_view strWide) {
    return Wtf8FromUtf16({reinterpret_cast<const char16_t*>(strWide.data()), strWide.size()});
}

int ErrnoFromWin32(DWORD nError) {
    for (const SErrnoOf& entry : kErrnoOf) {
        if (entry.nError == nError)
            return entry.nErrno;
    }
    return EIO;
}

std::error_code ErrorFromWin32(DWORD nError) {
    return {ErrnoFromWin32(nError), std::generic_category()};
}

std::error_code LastWin32Error() {
    return ErrorFromWin32(GetLastError());
}

std::wstring LongPathForm(std::wstring_view strFullPath) {
    constexpr std::wstring_view kLong = L"\\\\?\\";
    constexpr std::wstring_view kDevice = L"\\\\.\\";
    constexpr std::wstring_view kUnc = L"\\\\";
    if (strFullPath.starts_with(kLong) || strFullPath.starts_with(kDevice))
        return std::wstring(strFullPath);
    if (strFullPath.starts_with(kUnc))
        return std::wstring(L"\\\\?\\UNC\\").append(strFullPath.substr(kUnc.size()));
    if (strFullPath.size() >= 3 && strFullPath[1] == L':' && strFullPath[2] == L'\\')
        return std::wstring(kLong).append(strFullPath);
    return std::wstring(strFullPath);
}

std::error_code SystemPath(const std::string& strPath, std::wstring& strOut) {
    if (strPath.empty())
        return std::make_error_code(std::errc::no_such_file_or_directory);
    const std::wstring strWide = WideFromUtf8(strPath);
    if (strWide.starts_with(L"\\\\?\\")) {
        strOut = strWide; // the caller's own long form: taken as it is
        return {};
    }
    // Resolves "." and "..", the working directory and "/" as Windows does for any program.
    std::vector<wchar_t> full(MAX_PATH);
    for (;;) {
        const DWORD nLen =
            GetFullPathNameW(strWide.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
        if (nLen == 0)
            return LastWin32Error();
        if (nLen < full.size()) {
            strOut = LongPathForm({full.data(), nLen});
            return {};
        }
        full.resize(nLen);
    }
}

std::error_code OpenRelative(HANDLE hDir, const char* pszName, ACCESS_MASK nAccess,
                             ULONG nOptions, CHandle& handle) {
    std::wstring strName = WideFromUtf8(pszName);
    if (strName.size() * sizeof(wchar_t) > 0xFFFE)
        return std::make_error_code(std::errc::filename_too_long);
    UNICODE_STRING name;
    name.Buffer = strName.data();
    name.Length = static_cast<USHORT>(strName.size() * sizeof(wchar_t));
    name.MaximumLength = name.Length;
    OBJECT_ATTRIBUTES attributes;
    // The exact name: case-sensitive where the directory is (a name differing only in case is
    // another entry there).
    InitializeObjectAttributes(&attributes, &name, 0, hDir, nullptr);
    IO_STATUS_BLOCK io{};
    HANDLE h = nullptr;
    const NTSTATUS nStatus =
        NtCreateFile(&h, nAccess | SYNCHRONIZE, &attributes, &io, nullptr, 0,
                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, FILE_OPEN,
                     nOptions | FILE_OPEN_REPARSE_POINT | FILE_SYNCHRONOUS_IO_NONALERT |
                         FILE_OPEN_FOR_BACKUP_INTENT,
                     nullptr, 0);
    if (nStatus < 0)
        return ErrorFromWin32(RtlNtStatusToDosError(nStatus));
    handle.reset(h);
    return {};
}

HANDLE HandleOf(int nFd) {
    return reinterpret_cast<HANDLE>(_get_osfhandle(nFd));
}

std::error_code DescriptorFor(CHandle handle, int nFlags, CFileDescriptor& fd) {
    const int nFd = _open_osfhandle(reinterpret_cast<intptr_t>(handle.get()), nFlags | _O_BINARY);
    if (nFd < 0)
        return {errno, std::generic_category()};
    handle.release(); // the descriptor closes it now
    fd = CFileDescriptor(nFd);
    return {};
}
