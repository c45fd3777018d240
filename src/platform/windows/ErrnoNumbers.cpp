#include "platform/ErrnoNumbers.h"

#include <windows.h>

#include <cerrno>
#include <memory>
#include <system_error>

#include "platform/ErrorText.h"
#include "platform/windows/WinFile.h"

namespace {

struct SLinuxNumber {
    int nLocal;
    int nLinux;
};

// Where MinGW's C runtime and Linux differ; 1 to 34 (the common file errors) are the same,
// and EDQUOT is defined with Linux's number by the build.
constexpr SLinuxNumber kLinuxNumbers[] = {
    {EDEADLK, 35},   {ENAMETOOLONG, 36}, {ENOLCK, 37},     {ENOSYS, 38},
    {ENOTEMPTY, 39}, {ELOOP, 40},        {EILSEQ, 84},     {EOVERFLOW, 75},
    {ENOTSUP, 95},   {ETIMEDOUT, 110},   {ECANCELED, 125},
};

} // namespace

int LinuxErrno(int nErrno) {
    if (WindowsErrorOf(nErrno) != 0)
        return EIO;
    for (const SLinuxNumber& entry : kLinuxNumbers) {
        if (entry.nLocal == nErrno)
            return entry.nLinux;
    }
    return nErrno;
}

// Windows' own words for a Windows error: English, as the system's errno texts are, or in the
// system's language where English is not installed.
std::string SystemErrorText(int nErrno) {
    const DWORD nCode = static_cast<DWORD>(WindowsErrorOf(nErrno));
    if (nCode == 0)
        return std::error_code(nErrno, std::generic_category()).message();
    constexpr DWORD kFlags = FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                             FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_MAX_WIDTH_MASK;
    for (const DWORD nLanguage : {DWORD(MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US)), DWORD(0)}) {
        LPWSTR pszText = nullptr;
        const DWORD nLen = FormatMessageW(kFlags, nullptr, nCode, nLanguage,
                                          reinterpret_cast<LPWSTR>(&pszText), 0, nullptr);
        const std::unique_ptr<wchar_t, decltype(&LocalFree)> pOwned(pszText, LocalFree);
        if (nLen == 0)
            continue;
        std::wstring strText(pszText, nLen);
        // Without the full stop and the blanks Windows ends its messages with, as errno texts are.
        while (!strText.empty() && (strText.back() == L' ' || strText.back() == L'.'))
            strText.pop_back();
        if (!strText.empty())
            return Utf8FromWide(strText);
    }
    return "Windows error " + std::to_string(nCode);
}
