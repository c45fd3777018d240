#include <windows.h>

#include <commctrl.h>

#include "winui/DialogBuilder.h"

namespace {

INT_PTR CALLBACK BareDialogProc(HWND hDlg, UINT nMessage, WPARAM wParam, LPARAM) {
    if (nMessage == WM_COMMAND && LOWORD(wParam) == IDCANCEL) {
        EndDialog(hDlg, 0);
        return TRUE;
    }
    return nMessage == WM_INITDIALOG;
}

} // namespace

int WINAPI wWinMain(HINSTANCE hInstance, HINSTANCE, PWSTR, int) {
    const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX),
                                        ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    CDialogBuilder builder(L"KWL - Kawlen", 369, 298,
                           WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER);
    return static_cast<int>(
        DialogBoxIndirectParamW(hInstance, builder.Template(), nullptr, BareDialogProc, 0));
}
