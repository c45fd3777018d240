#include "winui/DialogBuilder.h"

namespace {
// The dialog font: Windows maps "MS Shell Dlg" to the system's dialog font.
constexpr WORD kFontPoints = 8;
constexpr const wchar_t* kFontName = L"MS Shell Dlg";
} // namespace

CDialogBuilder::CDialogBuilder(const std::wstring& strCaption, short cx, short cy, DWORD dwStyle) {
    PutWord(1);      // dlgVer
    PutWord(0xFFFF); // signature: the extended template
    PutDword(0);     // helpID
    PutDword(0);     // exStyle
    PutDword(dwStyle | DS_SETFONT | DS_SHELLFONT);
    m_nCountAt = m_buffer.size();
    PutWord(0); // cDlgItems, counted by Add
    PutWord(0); // x: centred by DS_CENTER or the owner
    PutWord(0);
    PutWord(static_cast<WORD>(cx));
    PutWord(static_cast<WORD>(cy));
    PutWord(0); // no menu
    PutWord(0); // the predefined dialog class
    PutText(strCaption);
    PutWord(kFontPoints);
    PutWord(FW_NORMAL);
    PutWord(0); // italic = FALSE, charset = DEFAULT_CHARSET (0)
    PutText(kFontName);
}

void CDialogBuilder::Add(const SDialogItem& item) {
    AlignToDword();
    PutDword(0); // helpID
    PutDword(item.dwExStyle);
    PutDword(item.dwStyle | WS_CHILD);
    PutWord(static_cast<WORD>(item.x));
    PutWord(static_cast<WORD>(item.y));
    PutWord(static_cast<WORD>(item.cx));
    PutWord(static_cast<WORD>(item.cy));
    PutDword(static_cast<DWORD>(item.nId));
    PutText(item.pszClass);
    PutText(item.strText);
    PutWord(0); // no creation data
    ++m_buffer[m_nCountAt];
}

const DLGTEMPLATE* CDialogBuilder::Template() const {
    return reinterpret_cast<const DLGTEMPLATE*>(m_buffer.data());
}

void CDialogBuilder::AlignToDword() {
    if (m_buffer.size() % 2 != 0)
        PutWord(0);
}

void CDialogBuilder::PutDword(DWORD dw) {
    PutWord(LOWORD(dw));
    PutWord(HIWORD(dw));
}

void CDialogBuilder::PutText(const std::wstring& str) {
    m_buffer.insert(m_buffer.end(), str.begin(), str.end());
    PutWord(0);
}
