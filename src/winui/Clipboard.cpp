#include "winui/Clipboard.h"

#include <cstring>
#include <memory>
#include <string>

#include "platform/Encoding.h"
#include "winui/WideText.h"

namespace {

// Open for as long as it lives.
class CClipboardOpen {
public:
    explicit CClipboardOpen(HWND hOwner) : m_bOpen(OpenClipboard(hOwner) != FALSE) {}
    ~CClipboardOpen() {
        if (m_bOpen)
            CloseClipboard();
    }
    CClipboardOpen(const CClipboardOpen&) = delete;
    CClipboardOpen& operator=(const CClipboardOpen&) = delete;
    bool IsOpen() const { return m_bOpen; }

private:
    bool m_bOpen;
};

struct SGlobalFree {
    void operator()(void* hMemory) const { GlobalFree(hMemory); }
};
using GlobalMemory = std::unique_ptr<void, SGlobalFree>;

// The bytes (with their terminating zero) in movable global memory, as the clipboard takes it.
GlobalMemory CopyToGlobal(const void* pData, std::size_t nBytes) {
    GlobalMemory hMemory(GlobalAlloc(GMEM_MOVEABLE, nBytes));
    if (!hMemory)
        return hMemory;
    void* pTarget = GlobalLock(hMemory.get());
    if (pTarget == nullptr)
        return nullptr;
    std::memcpy(pTarget, pData, nBytes);
    GlobalUnlock(hMemory.get());
    return hMemory;
}

// The clipboard owns the memory once it took it.
bool Put(UINT nFormat, GlobalMemory hMemory) {
    if (!hMemory || SetClipboardData(nFormat, hMemory.get()) == nullptr)
        return false;
    hMemory.release();
    return true;
}

} // namespace

bool CopyToClipboard(HWND hOwner, std::string_view strUtf8) {
    const std::string strText = WithCrLf(strUtf8);
    const std::wstring strWide = Wide(strText);
    const std::string strAnsi = Utf8ToCp1252Lossy(strText);
    const CClipboardOpen clipboard(hOwner);
    if (!clipboard.IsOpen() || !EmptyClipboard())
        return false;
    const bool bUnicode =
        Put(CF_UNICODETEXT, CopyToGlobal(strWide.c_str(), (strWide.size() + 1) * sizeof(wchar_t)));
    // Windows would derive CF_TEXT in the user's code page; 1252 is what the format lines
    // themselves are stored in, so old programs get the same characters on every system.
    const bool bAnsi = Put(CF_TEXT, CopyToGlobal(strAnsi.c_str(), strAnsi.size() + 1));
    return bUnicode && bAnsi;
}
