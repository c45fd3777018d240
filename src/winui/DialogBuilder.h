#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

// One control of an in-memory dialog template, in dialog units.
struct SDialogItem {
    int nId = 0;
    const wchar_t* pszClass = L"STATIC"; // a predefined window class by name
    DWORD dwStyle = 0;                   // WS_CHILD is added
    DWORD dwExStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    std::wstring strText;
};

// Builds a DLGTEMPLATEEX with its DLGITEMTEMPLATEEX rows in memory, font "MS Shell Dlg" 8, so
// that Windows lays the dialog out in dialog units exactly as the rows give them. The buffer
// is owned; Template() stays valid while the builder lives.
class CDialogBuilder {
public:
    CDialogBuilder(const std::wstring& strCaption, short cx, short cy, DWORD dwStyle);

    void Add(const SDialogItem& item);
    const DLGTEMPLATE* Template() const;
    std::size_t Size() const { return m_buffer.size() * sizeof(WORD); }

private:
    void AlignToDword();
    void PutWord(WORD w) { m_buffer.push_back(w); }
    void PutDword(DWORD dw);
    void PutText(const std::wstring& str);

    std::vector<WORD> m_buffer;
    std::size_t m_nCountAt = 0; // where the header's count of items stands
};
