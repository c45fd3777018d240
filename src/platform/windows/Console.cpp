#include "platform/Console.h"

#include <windows.h>
#include <shellapi.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <memory>

#include "platform/windows/WinFile.h"

std::vector<std::string> ProgramArguments(int argc, char** argv) {
    int nCount = 0;
    struct SLocalFree {
        void operator()(LPWSTR* p) const { LocalFree(p); }
    };
    const std::unique_ptr<LPWSTR, SLocalFree> pArgs(
        CommandLineToArgvW(GetCommandLineW(), &nCount));
    if (!pArgs)
        return {argv, argv + argc};
    std::vector<std::string> args;
    args.reserve(static_cast<std::size_t>(nCount));
    for (int i = 0; i < nCount; ++i)
        args.push_back(Utf8FromWide(pArgs.get()[i]));
    return args;
}

void PrepareStandardStreams() {
    // The C runtime opens them in text mode, which writes "\n" as "\r\n": the outputs would
    // differ from Linux's.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    // Messages on standard error are UTF-8 bytes; the console shows them as such, and the
    // progress line's escapes move the cursor instead of printing.
    SetConsoleOutputCP(CP_UTF8);
    const HANDLE hError = GetStdHandle(STD_ERROR_HANDLE);
    DWORD nMode = 0;
    if (GetConsoleMode(hError, &nMode))
        SetConsoleMode(hError, nMode | ENABLE_VIRTUAL_TERMINAL_PROCESSING);
}

bool IsTerminal(int nFd) {
    DWORD nMode = 0;
    return GetConsoleMode(HandleOf(nFd), &nMode) != 0;
}
