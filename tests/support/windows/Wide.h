#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <type_traits>

// UTF-8 (the tests' texts) to UTF-16 (Windows' calls) and back; the names tests make are valid
// UTF-8, so the system's own conversion will do.
inline std::wstring Widen(const std::string& str) {
    if (str.empty())
        return {};
    const int n = MultiByteToWideChar(CP_UTF8, 0, str.data(), static_cast<int>(str.size()),
                                      nullptr, 0);
    std::wstring wstr(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, str.data(), static_cast<int>(str.size()), wstr.data(), n);
    return wstr;
}

inline std::string Narrow(const std::wstring& wstr) {
    if (wstr.empty())
        return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, wstr.data(), static_cast<int>(wstr.size()),
                                      nullptr, 0, nullptr, nullptr);
    std::string str(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wstr.data(), static_cast<int>(wstr.size()), str.data(), n,
                        nullptr, nullptr);
    return str;
}

// The extended-length form of an absolute path: no length limit, and names that plain paths
// cannot reach (a trailing dot or space, CON) are taken as they are.
inline std::wstring ExtendedPath(const std::string& strPath) {
    std::wstring wstr = Widen(strPath);
    for (wchar_t& ch : wstr)
        if (ch == L'/')
            ch = L'\\';
    return wstr.starts_with(L"\\\\?\\") ? wstr : L"\\\\?\\" + wstr;
}

// A handle with one owner, closed when it goes.
struct SHandleCloser {
    void operator()(HANDLE h) const {
        if (h != nullptr && h != INVALID_HANDLE_VALUE)
            CloseHandle(h);
    }
};
using CUniqueHandle = std::unique_ptr<std::remove_pointer_t<HANDLE>, SHandleCloser>;

inline CUniqueHandle OwnHandle(HANDLE h) {
    return CUniqueHandle(h == INVALID_HANDLE_VALUE ? nullptr : h);
}
