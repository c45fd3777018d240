#pragma once

// What the Windows twins share: handles owned, names and paths converted, Windows' errors as
// the errno values the rest of KWL speaks, and files opened relative to a directory handle.

#include <windows.h>

#include <memory>
#include <string>
#include <string_view>
#include <system_error>

#include "platform/FileDescriptor.h"

// A kernel handle with one owner, closed when it goes.
struct SHandleClose {
    void operator()(HANDLE h) const { CloseHandle(h); }
};
using CHandle = std::unique_ptr<void, SHandleClose>;

// UTF-8 (WTF-8 for names with unpaired surrogates) <-> Windows' UTF-16, exact both ways.
std::wstring WideFromUtf8(std::string_view strText);
std::string Utf8FromWide(std::wstring_view strWide);

// errno of the Windows error nError (the Linux meaning: ENOENT for a missing file whatever
// Windows calls it), EIO for errors with no counterpart.
int ErrnoFromWin32(DWORD nError);
std::error_code ErrorFromWin32(DWORD nError);
// The error of the Windows function that just failed (GetLastError), as a value.
std::error_code LastWin32Error();

// The form of a full path that Windows opens however long it is and whatever its names
// ("name.", "CON"): "\\?\C:\dir", "\\?\UNC\server\share\dir". Other forms stay as they are.
std::wstring LongPathForm(std::wstring_view strFullPath);
// strPath (UTF-8, relative to the working directory or absolute, "/" or "\") as a full path
// in its long form.
std::error_code SystemPath(const std::string& strPath, std::wstring& strOut);

// Opens pszName (raw UTF-8 name, no separators) in the directory hDir, as openat does: no path
// is built, and the name reaches the file system exactly (trailing dots and spaces, "CON").
// nOptions are NtCreateFile's create options; FILE_OPEN_REPARSE_POINT is always added, so a
// link, junction or placeholder opens as itself and is never followed.
std::error_code OpenRelative(HANDLE hDir, const char* pszName, ACCESS_MASK nAccess,
                             ULONG nOptions, CHandle& handle);

// The handle behind the C runtime's descriptor nFd.
HANDLE HandleOf(int nFd);
// Hands handle over to a C runtime descriptor (how the library passes files around).
std::error_code DescriptorFor(CHandle handle, int nFlags, CFileDescriptor& fd);
