#include "support/TempTree.h"

#include <windows.h>
#include <winioctl.h>

#include <atomic>
#include <stdexcept>
#include <string_view>
#include <vector>

#include "support/windows/Wide.h"

namespace {

void Check(bool bOk, const std::string& strWhat) {
    if (!bOk)
        throw std::runtime_error("test fixture: " + strWhat + " (Windows error " +
                                 std::to_string(GetLastError()) + ")");
}

std::string WithBackslashes(std::string str) {
    for (char& ch : str)
        if (ch == '/')
            ch = '\\';
    return str;
}

// Everything below strDir, then strDir itself. Read-only files and folders are made writable
// first; links are removed as links, never entered.
void RemoveTree(const std::wstring& wstrDir) {
    WIN32_FIND_DATAW data;
    HANDLE hFind = FindFirstFileExW((wstrDir + L"\\*").c_str(), FindExInfoBasic, &data,
                                   FindExSearchNameMatch, nullptr, 0);
    if (hFind != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring wstrName = data.cFileName;
            if (wstrName == L"." || wstrName == L"..")
                continue;
            const std::wstring wstrPath = wstrDir + L"\\" + wstrName;
            SetFileAttributesW(wstrPath.c_str(), FILE_ATTRIBUTE_NORMAL);
            const DWORD nAttr = data.dwFileAttributes;
            if ((nAttr & FILE_ATTRIBUTE_DIRECTORY) && !(nAttr & FILE_ATTRIBUTE_REPARSE_POINT))
                RemoveTree(wstrPath);
            else if (!DeleteFileW(wstrPath.c_str()))
                RemoveDirectoryW(wstrPath.c_str());
        } while (FindNextFileW(hFind, &data));
        FindClose(hFind);
    }
    SetFileAttributesW(wstrDir.c_str(), FILE_ATTRIBUTE_NORMAL);
    RemoveDirectoryW(wstrDir.c_str());
}

std::string MakeTempDir(const std::string& strBase) {
    static std::atomic<unsigned> s_nCount{0};
    std::string strBaseDir = WithBackslashes(strBase);
    if (!strBaseDir.ends_with('\\'))
        strBaseDir += '\\';
    for (int nTry = 0; nTry < 1000; ++nTry) {
        const std::string strDir = strBaseDir + "kwl-test-" +
                                   std::to_string(GetCurrentProcessId()) + "-" +
                                   std::to_string(GetTickCount64() % 100000) + "-" +
                                   std::to_string(s_nCount++);
        if (CreateDirectoryW(ExtendedPath(strDir).c_str(), nullptr))
            return strDir;
        Check(GetLastError() == ERROR_ALREADY_EXISTS, "create a folder in " + strBase);
    }
    throw std::runtime_error("test fixture: no free folder name in " + strBase);
}

std::string SystemTempDir() {
    wchar_t buf[MAX_PATH + 1];
    const DWORD n = GetTempPathW(MAX_PATH + 1, buf);
    Check(n > 0 && n <= MAX_PATH, "GetTempPathW");
    return Narrow(std::wstring(buf, n));
}

// Creates every missing folder on the way to strDir.
void CreateFolders(const std::string& strDir) {
    const std::wstring wstr = ExtendedPath(strDir);
    // Most files go into a folder that is there already: one question instead of one per level
    // (each a round trip to Wine's server).
    const DWORD nAttributes = GetFileAttributesW(wstr.c_str());
    if (nAttributes != INVALID_FILE_ATTRIBUTES && (nAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return;
    // After "\\?\C:\" every backslash ends a folder that must exist.
    for (std::size_t nPos = wstr.find(L'\\', 7); nPos != std::wstring::npos;
         nPos = wstr.find(L'\\', nPos + 1))
        CreateDirectoryW(wstr.substr(0, nPos).c_str(), nullptr);
    Check(CreateDirectoryW(wstr.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS,
          "create the folder " + strDir);
}

std::string ParentOf(const std::string& strPath) {
    return strPath.substr(0, strPath.find_last_of('\\'));
}

CUniqueHandle CreateNewFile(const std::string& strPath) {
    CreateFolders(ParentOf(strPath));
    CUniqueHandle file = OwnHandle(CreateFileW(ExtendedPath(strPath).c_str(), GENERIC_WRITE, 0,
                                               nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                               nullptr));
    Check(file != nullptr, "create " + strPath);
    return file;
}

FILETIME FileTimeOf(std::int64_t nUnixSeconds) {
    // 100-nanosecond steps since 1601-01-01.
    const std::uint64_t n =
        static_cast<std::uint64_t>(nUnixSeconds + 11644473600LL) * 10000000ULL;
    return FILETIME{static_cast<DWORD>(n), static_cast<DWORD>(n >> 32)};
}

} // namespace

CTempTree::CTempTree() : m_strRoot(MakeTempDir(SystemTempDir())) {}

CTempTree::CTempTree(const std::string& strBase) : m_strRoot(MakeTempDir(strBase)) {}

CTempTree::~CTempTree() {
    RemoveTree(ExtendedPath(m_strRoot));
}

std::string CTempTree::Path(const std::string& strRelative) const {
    return strRelative.empty() ? m_strRoot : m_strRoot + "\\" + WithBackslashes(strRelative);
}

std::string CTempTree::AddDir(const std::string& strRelative) {
    const std::string strPath = Path(strRelative);
    CreateFolders(strPath);
    return strPath;
}

std::string CTempTree::AddFile(const std::string& strRelative, std::uint64_t nSize) {
    const std::string strPath = Path(strRelative);
    const CUniqueHandle file = CreateNewFile(strPath);
    const std::string strBlock(64 * 1024, 'x');
    for (std::uint64_t nLeft = nSize; nLeft > 0;) {
        const DWORD n = nLeft < strBlock.size() ? static_cast<DWORD>(nLeft)
                                                : static_cast<DWORD>(strBlock.size());
        DWORD nWritten = 0;
        Check(WriteFile(file.get(), strBlock.data(), n, &nWritten, nullptr) && nWritten == n,
              "write " + strPath);
        nLeft -= n;
    }
    return strPath;
}

std::string CTempTree::AddSparseFile(const std::string& strRelative, std::uint64_t nSize) {
    const std::string strPath = Path(strRelative);
    const CUniqueHandle file = CreateNewFile(strPath);
    DWORD nReturned = 0;
    // Where the file system has no sparse files the length is still set.
    DeviceIoControl(file.get(), FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &nReturned, nullptr);
    LARGE_INTEGER end;
    end.QuadPart = static_cast<LONGLONG>(nSize);
    Check(SetFilePointerEx(file.get(), end, nullptr, FILE_BEGIN) && SetEndOfFile(file.get()),
          "set the length of " + strPath);
    return strPath;
}

std::string CTempTree::AddLink(const std::string& strRelative, const std::string& strTarget) {
    const std::string strPath = Path(strRelative);
    CreateFolders(ParentOf(strPath));
    const std::string strFullTarget =
        strTarget.size() > 1 && strTarget[1] == ':'
            ? strTarget
            : ParentOf(strPath) + "\\" + WithBackslashes(strTarget);
    const DWORD nAttr = GetFileAttributesW(ExtendedPath(strFullTarget).c_str());
    DWORD nFlags = SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE;
    if (nAttr != INVALID_FILE_ATTRIBUTES && (nAttr & FILE_ATTRIBUTE_DIRECTORY))
        nFlags |= SYMBOLIC_LINK_FLAG_DIRECTORY;
    Check(CreateSymbolicLinkW(ExtendedPath(strPath).c_str(),
                              Widen(WithBackslashes(strTarget)).c_str(), nFlags),
          "symbolic link " + strPath);
    return strPath;
}

std::string CTempTree::AddChain(const std::string& strRelative, int nDepth,
                                const std::string& strDirName, const std::string& strLeaf) {
    const std::string strTop = AddDir(strRelative);
    std::string strDir = strTop;
    for (int i = 0; i < nDepth; ++i) {
        strDir += "\\" + strDirName;
        Check(CreateDirectoryW(ExtendedPath(strDir).c_str(), nullptr),
              "create level " + std::to_string(i + 1) + " below " + strTop);
    }
    CreateNewFile(strDir + "\\" + strLeaf);
    return strTop;
}

void CTempTree::SetTimes(const std::string& strRelative, std::int64_t nAccess,
                         std::int64_t nWrite) {
    const CUniqueHandle file = OwnHandle(CreateFileW(
        ExtendedPath(Path(strRelative)).c_str(), FILE_WRITE_ATTRIBUTES,
        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
        FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    Check(file != nullptr, "open " + strRelative + " to set its times");
    const FILETIME access = FileTimeOf(nAccess);
    const FILETIME write = FileTimeOf(nWrite);
    Check(SetFileTime(file.get(), nullptr, &access, &write), "SetFileTime " + strRelative);
}

void CTempTree::SetMode(const std::string& strRelative, unsigned nMode) {
    const std::wstring wstrPath = ExtendedPath(Path(strRelative));
    DWORD nAttr = GetFileAttributesW(wstrPath.c_str());
    Check(nAttr != INVALID_FILE_ATTRIBUTES, "attributes of " + strRelative);
    nAttr &= ~static_cast<DWORD>(FILE_ATTRIBUTE_NORMAL);
    if (nMode & 0200)
        nAttr &= ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY);
    else
        nAttr |= FILE_ATTRIBUTE_READONLY;
    Check(SetFileAttributesW(wstrPath.c_str(), nAttr != 0 ? nAttr : FILE_ATTRIBUTE_NORMAL),
          "SetFileAttributesW " + strRelative);
}

bool CTempTree::CanMakeLinks() {
    return false;
}

bool CTempTree::AllowsName(const std::string& strName) {
    for (const char ch : strName)
        if (static_cast<unsigned char>(ch) < 0x20 || std::string_view("<>:\"|?*\\").find(ch) !=
                                                         std::string_view::npos)
            return false;
    return true;
}

std::string CurrentWorkingDir() {
    const DWORD n = GetCurrentDirectoryW(0, nullptr);
    std::wstring wstr(n, L'\0');
    const DWORD nGot = GetCurrentDirectoryW(n, wstr.data());
    wstr.resize(nGot < n ? nGot : 0);
    return Narrow(wstr);
}

CWorkingDirGuard::CWorkingDirGuard() : m_strSaved(CurrentWorkingDir()) {}

CWorkingDirGuard::~CWorkingDirGuard() {
    if (!m_strSaved.empty())
        SetCurrentDirectoryW(Widen(m_strSaved).c_str());
}
