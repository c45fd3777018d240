#include "support/Child.h"

#include <windows.h>

#include "support/windows/Process.h"
#include "support/windows/Wide.h"

int RunInChild(const std::function<int()>& /*fn*/, const SChildSetup& /*setup*/) {
    return -1; // no fork here
}

namespace {

// One argument as the C runtime's command-line parser takes it back: quoted, with the
// backslashes before a quote (and before the closing quote) doubled.
std::wstring QuotedArgument(const std::wstring& wstrArg) {
    std::wstring wstr = L"\"";
    std::size_t nBackslashes = 0;
    for (wchar_t ch : wstrArg) {
        if (ch == L'\\') {
            ++nBackslashes;
            continue;
        }
        wstr.append(ch == L'"' ? 2 * nBackslashes + 1 : nBackslashes, L'\\');
        nBackslashes = 0;
        wstr += ch;
    }
    wstr.append(2 * nBackslashes, L'\\');
    return wstr + L"\"";
}

CUniqueHandle InheritableFile(const std::string& strPath, DWORD nAccess, DWORD nDisposition) {
    SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
    return OwnHandle(CreateFileW(ExtendedPath(strPath).c_str(), nAccess,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE, &sa, nDisposition,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
}

} // namespace

int RunProgram(const std::string& strProgram, const std::vector<std::string>& args,
               const SProgramFiles& files) {
    std::wstring wstrCommand = QuotedArgument(Widen(strProgram));
    for (const std::string& strArg : args)
        wstrCommand += L" " + QuotedArgument(Widen(strArg));

    const CUniqueHandle out = InheritableFile(files.strOut, GENERIC_WRITE, CREATE_ALWAYS);
    const CUniqueHandle err = InheritableFile(files.strErr, GENERIC_WRITE, CREATE_ALWAYS);
    SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
    const CUniqueHandle in = OwnHandle(CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ, &sa,
                                                   OPEN_EXISTING, 0, nullptr));
    if (out == nullptr || err == nullptr || in == nullptr)
        return -1;

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = in.get();
    startup.hStdOutput = out.get();
    startup.hStdError = err.get();
    PROCESS_INFORMATION info{};
    const std::wstring wstrWorkDir = Widen(files.strWorkDir);
    if (!CreateProcessW(nullptr, wstrCommand.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW,
                        nullptr, wstrWorkDir.empty() ? nullptr : wstrWorkDir.c_str(), &startup,
                        &info))
        return -1;
    const CUniqueHandle process = OwnHandle(info.hProcess);
    const CUniqueHandle thread = OwnHandle(info.hThread);
    DWORD nStatus = 0;
    if (WaitForSingleObject(process.get(), INFINITE) != WAIT_OBJECT_0 ||
        !GetExitCodeProcess(process.get(), &nStatus))
        return -1;
    return static_cast<int>(nStatus);
}

bool UnderWine() {
    return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

std::string ThisProgramsFolder() {
    std::wstring wstr(32768, L'\0');
    const DWORD n = GetModuleFileNameW(nullptr, wstr.data(), static_cast<DWORD>(wstr.size()));
    wstr.resize(n);
    return Narrow(wstr.substr(0, wstr.find_last_of(L'\\')));
}
