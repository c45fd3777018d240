#include "winui/AboutWindow.h"

#include "dialogs/AboutController.h"
#include "winui/ResourceIds.h"

CAboutWindow::CAboutWindow(const CLanguage& language)
    : CDialogView<IDialogView>(kAboutDlgTemplate), m_language(language), m_logo(IDB_LOGO) {}

void CAboutWindow::OnInit() {
    // The panel (the first row) is painted by the dialog itself, under the text lines: sibling
    // controls that overlap would paint over each other in no fixed order.
    ShowWindow(GetWindow(Handle(), GW_CHILD), SW_HIDE);
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
        PaintLogoAndPanel();
        return TRUE;
    default:
        return FALSE;
    }
}

void CAboutWindow::PaintLogoAndPanel() {
    PAINTSTRUCT paint;
    const HDC hDc = BeginPaint(Handle(), &paint);
    const HDC hMemory = CreateCompatibleDC(hDc);
    const HGDIOBJ hOld = SelectObject(hMemory, m_logo.Handle());
    BITMAP info{};
    GetObjectW(m_logo.Handle(), sizeof(info), &info);
    BitBlt(hDc, kAboutLogoX, kAboutLogoY, info.bmWidth, info.bmHeight, hMemory, 0, 0, SRCCOPY);
    SelectObject(hMemory, hOld);
    const SControlTemplate& panel = Template().controls.front();
    RECT rect{panel.x, panel.y, panel.x + panel.cx, panel.y + panel.cy};
    MapDialogRect(Handle(), &rect);
    FillRect(hDc, &rect, GetSysColorBrush(COLOR_BTNFACE));
    DeleteDC(hMemory);
    EndPaint(Handle(), &paint);
}
