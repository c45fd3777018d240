#include "platform/FileWrite.h"

#include <windows.h>

#include <algorithm>
#include <cerrno>
#include <mutex>
#include <string>

#include "platform/windows/WinFile.h"

namespace {

// WriteFile takes a 32-bit count; pieces of this size keep it far from the limit.
constexpr std::size_t kMaxWrite = 1u << 30;

bool IsConsole(HANDLE h) {
    DWORD nMode = 0;
    return GetConsoleMode(h, &nMode) != 0;
}

// Length of the UTF-8 sequence that an incomplete tail of strBytes has begun, 0 when the
// bytes end on a whole character: that tail waits for the next write.
std::size_t IncompleteTail(std::string_view strBytes) {
    const std::size_t nBack = std::min<std::size_t>(strBytes.size(), 3);
    for (std::size_t i = 1; i <= nBack; ++i) {
        const auto b = static_cast<unsigned char>(strBytes[strBytes.size() - i]);
        if ((b & 0xC0) == 0x80)
            continue; // a continuation byte: look further back
        const std::size_t nLen = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 1;
        return nLen > i ? i : 0;
    }
    return 0;
}

// A console shows UTF-16 (WriteConsoleW), whatever its code page: UTF-8 bytes would come out
// as other characters. A character cut between two writes is held until its rest comes.
bool WriteToConsole(HANDLE h, std::string_view strBytes) {
    static std::mutex mutex;
    static std::string strHeld;
    const std::lock_guard lock(mutex);
    std::string strText = strHeld + std::string(strBytes);
    const std::size_t nTail = IncompleteTail(strText);
    strHeld = strText.substr(strText.size() - nTail);
    strText.resize(strText.size() - nTail);
    const std::wstring strWide = WideFromUtf8(strText);
    const wchar_t* p = strWide.data();
    std::size_t nLeft = strWide.size();
    while (nLeft > 0) {
        DWORD nWritten = 0;
        const DWORD nPart = static_cast<DWORD>(std::min<std::size_t>(nLeft, 16 * 1024));
        if (!WriteConsoleW(h, p, nPart, &nWritten, nullptr) || nWritten == 0) {
            errno = ErrnoFromWin32(GetLastError());
            return false;
        }
        p += nWritten;
        nLeft -= nWritten;
    }
    return true;
}

} // namespace

bool WriteAll(int nFd, std::string_view strBytes) {
    const HANDLE h = HandleOf(nFd);
    if (h == INVALID_HANDLE_VALUE) {
        errno = EBADF;
        return false;
    }
    if (IsConsole(h))
        return WriteToConsole(h, strBytes);
    // The bytes as they are: no text mode turning "\n" into "\r\n" on the way.
    const char* p = strBytes.data();
    std::size_t nLeft = strBytes.size();
    while (nLeft > 0) {
        DWORD nWritten = 0;
        if (!WriteFile(h, p, static_cast<DWORD>(std::min(nLeft, kMaxWrite)), &nWritten, nullptr)) {
            errno = ErrnoFromWin32(GetLastError());
            return false;
        }
        if (nWritten == 0) {
            errno = EIO;
            return false;
        }
        p += nWritten;
        nLeft -= nWritten;
    }
    return true;
}
