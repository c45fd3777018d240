#include <windows.h>

#include <commctrl.h>

#include "winui/ComApartment.h"
#include "winui/MainWindow.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX),
                                        ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    const CComApartment com; // the shell's folder and save dialogs
    CMainWindow window;
    if (window.Open() == nullptr)
        return 1;
    return RunMessageLoop(window);
}
