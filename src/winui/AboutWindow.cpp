#include "winui/AboutWindow.h"

#include "dialogs/AboutController.h"
#include "winui/ResourceIds.h"

CAboutWindow::CAboutWindow(const CLanguage& language)
    : CDialogView<IDialogView>(kAboutDlgTemplate), m_language(language), m_logo(IDB_LOGO) {}

void CAboutWindow::OnInit() {
    // The panel is the first row; Windows puts the first control on top, so it goes below
    // the text lines it carries.
    HWND hPanel = GetWindow(Handle(), GW_CHILD);
    SetWindowPos(hPanel, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ShowAboutTexts(*this, m_language);
}

void CAboutWindow::OnCommand(int nId, int) {
    if (nId == IDC_ABOUT_OK || nId == IDCANCEL)
        End(IDC_ABOUT_OK);
}

INT_PTR CAboutWindow::OnMessage(UINT nMessage, WPARAM wParam, LPARAM) {
    switch (nMessage) {
    case WM_CTLCOLORDLG:
        return reinterpret_cast<INT_PTR>(GetStockObject(BLACK_BRUSH));
    case WM_CTLCOLORSTATIC: // the panel and its lines
        SetBkColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_BTNFACE));
        return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_BTNFACE));
    case WM_PAINT:
        PaintLogo();
        return TRUE;
    default:
        return FALSE;
    }
}

void CAboutWindow::PaintLogo() {
    PAINTSTRUCT paint;
    const HDC hDc = BeginPaint(Handle(), &paint);
    const HDC hMemory = CreateCompatibleDC(hDc);
    const HGDIOBJ hOld = SelectObject(hMemory, m_logo.Handle());
    BITMAP info{};
    GetObjectW(m_logo.Handle(), sizeof(info), &info);
    BitBlt(hDc, kAboutLogoX, kAboutLogoY, info.bmWidth, info.bmHeight, hMemory, 0, 0, SRCCOPY);
    SelectObject(hMemory, hOld);
    DeleteDC(hMemory);
    EndPaint(Handle(), &paint);
}
