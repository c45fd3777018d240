#include "platform/AtomicFile.h"

#include <windows.h>

#include <fcntl.h>

#include <cerrno>
#include <io.h>
#include <mutex>
#include <random>
#include <set>
#include <string_view>

#include "platform/windows/WinFile.h"

// On Windows the target is held as its full path (m_strName, long form, UTF-8) and the
// temporary file beside it by its full path (m_strTemp).

namespace {

constexpr int kMaxTempTries = 100;

// Temporary files alive now. Ctrl+C (or closing the console) ends the process without
// unwinding; the handler removes them first, so no half-written file is left behind.
std::mutex g_tempMutex;
std::set<std::wstring> g_temps;

BOOL WINAPI RemoveTempsOnBreak(DWORD) {
    const std::lock_guard lock(g_tempMutex);
    for (const std::wstring& strTemp : g_temps)
        DeleteFileW(strTemp.c_str()); // opened with FILE_SHARE_DELETE: goes when it is closed
    return FALSE; // the system's own handler ends the process as before
}

void RegisterTemp(const std::wstring& strTemp) {
    static std::once_flag once;
    std::call_once(once, [] { SetConsoleCtrlHandler(RemoveTempsOnBreak, TRUE); });
    const std::lock_guard lock(g_tempMutex);
    g_temps.insert(strTemp);
}

void ForgetTemp(const std::wstring& strTemp) {
    const std::lock_guard lock(g_tempMutex);
    g_temps.erase(strTemp);
}

bool Fail(int nErrno) {
    errno = nErrno;
    return false;
}

bool FailWin32() {
    return Fail(ErrnoFromWin32(GetLastError()));
}

std::wstring FolderOf(const std::wstring& strPath) {
    const std::size_t nSlash = strPath.rfind(L'\\');
    return nSlash == std::wstring::npos ? std::wstring() : strPath.substr(0, nSlash);
}

// The file a link at strPath leads to, as the system resolves it.
bool FinalPath(const std::wstring& strPath, std::wstring& strFinal) {
    CHandle handle(CreateFileW(strPath.c_str(), FILE_READ_ATTRIBUTES,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (handle.get() == INVALID_HANDLE_VALUE) {
        handle.release();
        return FailWin32();
    }
    std::wstring strBuffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD nLen = GetFinalPathNameByHandleW(handle.get(), strBuffer.data(),
                                                     static_cast<DWORD>(strBuffer.size()),
                                                     FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
        if (nLen == 0)
            return FailWin32();
        if (nLen < strBuffer.size()) {
            strBuffer.resize(nLen);
            strFinal = LongPathForm(strBuffer);
            return true;
        }
        strBuffer.resize(nLen);
    }
}

std::wstring TemporaryName(std::random_device& random) {
    constexpr std::wstring_view kChars = L"abcdefghijklmnopqrstuvwxyz0123456789";
    std::wstring strName = L".kwl-";
    for (int i = 0; i < 12; ++i)
        strName += kChars[random() % kChars.size()];
    return strName + L".tmp";
}

} // namespace

CAtomicFile::~CAtomicFile() {
    Discard();
}

bool CAtomicFile::Resolve(const std::string& strPath) {
    Discard();
    m_bDirect = false;
    m_bExists = false;
    m_strName.clear();
    std::wstring strTarget;
    if (const std::error_code ec = SystemPath(strPath, strTarget))
        return Fail(ec.value());
    const wchar_t cLast = strPath.empty() ? L'\0' : static_cast<wchar_t>(strPath.back());
    if (cLast == L'\\' || cLast == L'/')
        return Fail(EISDIR);
    // Devices ("NUL", "CON", "\\.\pipe\...") are written through their own name.
    if (strTarget.starts_with(L"\\\\.\\")) {
        m_bDirect = true;
        m_strName = Utf8FromWide(strTarget);
        return true;
    }
    const DWORD nAttributes = GetFileAttributesW(strTarget.c_str());
    if (nAttributes != INVALID_FILE_ATTRIBUTES) {
        if (nAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
            // A link: the file it leads to is replaced, not the link.
            if (!FinalPath(strTarget, strTarget))
                return false;
            return Resolve(Utf8FromWide(strTarget));
        }
        if (nAttributes & FILE_ATTRIBUTE_DIRECTORY)
            return Fail(EISDIR);
        if (nAttributes & FILE_ATTRIBUTE_READONLY)
            return Fail(EACCES); // refused, as opening it for writing would be
        m_bExists = true;
    } else {
        const DWORD nError = GetLastError();
        if (nError != ERROR_FILE_NOT_FOUND)
            return Fail(ErrnoFromWin32(nError));
        const DWORD nFolder = GetFileAttributesW(FolderOf(strTarget).c_str());
        if (nFolder == INVALID_FILE_ATTRIBUTES)
            return FailWin32();
        if (!(nFolder & FILE_ATTRIBUTE_DIRECTORY))
            return Fail(ENOTDIR);
    }
    m_strName = Utf8FromWide(strTarget);
    return true;
}

bool CAtomicFile::Create() {
    Discard();
    if (m_strName.empty())
        return Fail(EBADF);
    const std::wstring strTarget = WideFromUtf8(m_strName);
    if (m_bDirect) {
        CHandle handle(CreateFileW(strTarget.c_str(), GENERIC_WRITE,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
        if (handle.get() == INVALID_HANDLE_VALUE) {
            handle.release();
            return FailWin32();
        }
        CFileDescriptor fd;
        if (const std::error_code ec = DescriptorFor(std::move(handle), _O_WRONLY, fd))
            return Fail(ec.value());
        m_nFd = fd.Release();
        return true;
    }
    return CreateTemporary();
}

bool CAtomicFile::Open(const std::string& strPath) {
    return Resolve(strPath) && Create();
}

bool CAtomicFile::Commit() {
    if (m_nFd < 0)
        return Fail(EBADF);
    if (m_bDirect) {
        const int nClose = _close(m_nFd);
        m_nFd = -1;
        return nClose == 0;
    }
    // Without the flush a crash after the replace could leave the target empty.
    if (!FlushFileBuffers(HandleOf(m_nFd))) {
        const int nErrno = ErrnoFromWin32(GetLastError());
        Discard();
        return Fail(nErrno);
    }
    const int nClose = _close(m_nFd);
    m_nFd = -1;
    if (nClose != 0) {
        const int nErrno = errno;
        Discard();
        return Fail(nErrno);
    }
    const std::wstring strTemp = WideFromUtf8(m_strTemp);
    const std::wstring strTarget = WideFromUtf8(m_strName);
    // ReplaceFileW keeps the old file's attributes and permissions; where it cannot (another
    // volume's rules, a file made since Resolve), the move replaces it in one step too.
    const bool bReplaced =
        (m_bExists && ReplaceFileW(strTarget.c_str(), strTemp.c_str(), nullptr,
                                   REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)) ||
        MoveFileExW(strTemp.c_str(), strTarget.c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!bReplaced) {
        const int nErrno = ErrnoFromWin32(GetLastError());
        Discard();
        return Fail(nErrno);
    }
    ForgetTemp(strTemp);
    m_strTemp.clear();
    return true;
}

void CAtomicFile::Discard() {
    const int nErrno = errno;
    if (m_nFd >= 0) {
        _close(m_nFd);
        m_nFd = -1;
    }
    if (!m_strTemp.empty()) {
        const std::wstring strTemp = WideFromUtf8(m_strTemp);
        DeleteFileW(strTemp.c_str());
        ForgetTemp(strTemp);
        m_strTemp.clear();
    }
    errno = nErrno;
}

bool CAtomicFile::CreateTemporary() {
    const std::wstring strFolder = FolderOf(WideFromUtf8(m_strName));
    std::random_device random;
    for (int nTry = 0; nTry < kMaxTempTries; ++nTry) {
        const std::wstring strTemp = strFolder + L"\\" + TemporaryName(random);
        CHandle handle(CreateFileW(strTemp.c_str(), GENERIC_WRITE,
                                   FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, CREATE_NEW,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
        if (handle.get() == INVALID_HANDLE_VALUE) {
            handle.release();
            if (GetLastError() == ERROR_FILE_EXISTS)
                continue;
            return FailWin32();
        }
        RegisterTemp(strTemp);
        m_strTemp = Utf8FromWide(strTemp);
        CFileDescriptor fd;
        if (const std::error_code ec = DescriptorFor(std::move(handle), _O_WRONLY, fd)) {
            Discard();
            return Fail(ec.value());
        }
        m_nFd = fd.Release();
        return true;
    }
    return Fail(EEXIST);
}
