#include "winui/DialogWindow.h"

#include <commctrl.h>
#include <oleacc.h>

#include "winui/TemplateRows.h"
#include "winui/WideText.h"

namespace {

bool HasStyle(HWND hWnd, LONG_PTR nStyle) {
    return (GetWindowLongPtrW(hWnd, GWL_STYLE) & nStyle) != 0;
}

// "&" doubled: shown as it is by a control that takes "&" for a mnemonic.
std::wstring WithoutMnemonics(const std::wstring& strText) {
    std::wstring strOut;
    for (const wchar_t c : strText) {
        if (c == L'&')
            strOut += L'&';
        strOut += c;
    }
    return strOut;
}

bool IsClass(HWND hWnd, const wchar_t* pszClass) {
    wchar_t szClass[32] = {};
    GetClassNameW(hWnd, szClass, 32);
    return lstrcmpiW(szClass, pszClass) == 0;
}

} // namespace

CDialogWindow::~CDialogWindow() {
    if (m_hWnd != nullptr && !m_bModal)
        DestroyWindow(m_hWnd);
}

DWORD CDialogWindow::Style(bool bModal) const {
    DWORD dwStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER;
    if (!bModal)
        dwStyle |= WS_MINIMIZEBOX | WS_VISIBLE;
    return dwStyle;
}

INT_PTR CDialogWindow::RunModal(HWND hOwner, const CLanguage& language) {
    m_bModal = true;
    const CDialogBuilder builder = BuildDialog(m_dlg, language, Style(true));
    const INT_PTR nResult =
        DialogBoxIndirectParamW(GetModuleHandleW(nullptr), builder.Template(), hOwner, DialogProc,
                                reinterpret_cast<LPARAM>(this));
    m_hWnd = nullptr;
    return nResult;
}

HWND CDialogWindow::Create(HWND hOwner, const CLanguage& language, bool bMainWindow) {
    m_bModal = false;
    m_bMainWindow = bMainWindow;
    const CDialogBuilder builder = BuildDialog(m_dlg, language, Style(false));
    CreateDialogIndirectParamW(GetModuleHandleW(nullptr), builder.Template(), hOwner, DialogProc,
                               reinterpret_cast<LPARAM>(this));
    return m_hWnd;
}

void CDialogWindow::End(int nCode) {
    if (m_bModal) {
        EndDialog(m_hWnd, nCode);
        return;
    }
    DestroyWindow(m_hWnd);
    m_hWnd = nullptr;
    if (m_bMainWindow)
        PostQuitMessage(nCode);
}

INT_PTR CALLBACK CDialogWindow::DialogProc(HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam) {
    if (nMessage == WM_INITDIALOG) {
        auto* pWindow = reinterpret_cast<CDialogWindow*>(lParam);
        SetWindowLongPtrW(hWnd, DWLP_USER, lParam);
        pWindow->m_hWnd = hWnd;
        pWindow->OnInit();
        return TRUE;
    }
    auto* pWindow = reinterpret_cast<CDialogWindow*>(GetWindowLongPtrW(hWnd, DWLP_USER));
    if (pWindow == nullptr || pWindow->m_hWnd != hWnd)
        return FALSE;
    if (nMessage == WM_COMMAND) {
        // An edit changed by the program itself is no event of the user's.
        if (HIWORD(wParam) != EN_CHANGE || !pWindow->m_bSettingText)
            pWindow->OnCommand(LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    }
    return pWindow->OnMessage(nMessage, wParam, lParam);
}

INT_PTR CDialogWindow::OnMessage(UINT, WPARAM, LPARAM) {
    return FALSE;
}

void CDialogWindow::SetControlText(int nId, const std::string& strText) const {
    const HWND hControl = Control(nId);
    std::wstring strWide = Wide(strText);
    if (HasStyle(hControl, ES_MULTILINE) && IsClass(hControl, L"EDIT"))
        strWide = WithCrLf(strWide); // a multi-line edit breaks lines only at CR LF
    SetTextQuietly(hControl, strWide);
}

void CDialogWindow::SetControlPlainText(int nId, const std::string& strText) const {
    const HWND hControl = Control(nId);
    if (IsClass(hControl, L"STATIC")) {
        SetWindowLongPtrW(hControl, GWL_STYLE,
                          GetWindowLongPtrW(hControl, GWL_STYLE) | SS_NOPREFIX);
        SetWindowTextW(hControl, Wide(strText).c_str());
    } else if (IsClass(hControl, L"BUTTON")) {
        SetTextQuietly(hControl, WithoutMnemonics(Wide(strText)));
    } else {
        SetControlText(nId, strText); // edits take "&" as it is
    }
}

void CDialogWindow::SetTextQuietly(HWND hControl, const std::wstring& strText) const {
    m_bSettingText = true;
    SetWindowTextW(hControl, strText.c_str());
    m_bSettingText = false;
}

std::string CDialogWindow::ControlText(int nId) const {
    const HWND hControl = Control(nId);
    std::wstring strText(static_cast<std::size_t>(GetWindowTextLengthW(hControl)) + 1, L'\0');
    strText.resize(static_cast<std::size_t>(
        GetWindowTextW(hControl, strText.data(), static_cast<int>(strText.size()))));
    return Utf8(strText);
}

void CDialogWindow::ShowControlTextEnd(int nId) const {
    const HWND hControl = Control(nId);
    const int nLength = GetWindowTextLengthW(hControl);
    SendMessageW(hControl, EM_SETSEL, nLength, nLength);
    SendMessageW(hControl, EM_SCROLLCARET, 0, 0);
}

void CDialogWindow::EnableControl(int nId, bool bEnable) const {
    EnableWindow(Control(nId), bEnable);
}

void CDialogWindow::ShowControl(int nId, bool bShow) const {
    ShowWindow(Control(nId), bShow ? SW_SHOW : SW_HIDE);
}

bool CDialogWindow::IsControlChecked(int nId) const {
    return IsDlgButtonChecked(m_hWnd, nId) == BST_CHECKED;
}

void CDialogWindow::SetControlChecked(int nId, bool bChecked) const {
    CheckDlgButton(m_hWnd, nId, bChecked ? BST_CHECKED : BST_UNCHECKED);
}

// Screen readers take a control's name from its text or from the label before it; this one
// gives a control without either its name through the accessibility properties.
void CDialogWindow::SetControlName(int nId, const std::string& strName) {
    // By its IID: MinGW's oleacc.h gives IAccPropServices no __uuidof.
    if (!m_pNames && FAILED(CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER,
                                             IID_IAccPropServices,
                                             reinterpret_cast<void**>(m_pNames.GetAddressOf()))))
        return;
    const std::wstring strWide = Wide(strName);
    m_pNames->SetHwndPropStr(Control(nId), static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                             PROPID_ACC_NAME, strWide.c_str());
}

void CDialogWindow::SetControlTip(int nId, const std::string& strTip) {
    if (m_hTips == nullptr) {
        m_hTips = CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                  m_hWnd, nullptr, GetModuleHandleW(nullptr), nullptr);
        SendMessageW(m_hTips, TTM_SETMAXTIPWIDTH, 0, 400);
    }
    std::wstring strWide = Wide(strTip);
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = m_hWnd;
    tool.uId = reinterpret_cast<UINT_PTR>(Control(nId));
    tool.lpszText = strWide.data();
    // Added the first time, its text replaced after that (a language switch).
    const bool bNew = m_tipped.insert(nId).second;
    SendMessageW(m_hTips, bNew ? TTM_ADDTOOLW : TTM_UPDATETIPTEXTW, 0,
                 reinterpret_cast<LPARAM>(&tool));
}

void CDialogWindow::ShowMessageBox(const std::string& strText, bool bWarning) const {
    MessageBoxW(m_hWnd, Wide(strText).c_str(), Wide(kAppName).c_str(),
                MB_OK | (bWarning ? MB_ICONWARNING : 0));
}
