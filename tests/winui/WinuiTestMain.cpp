// The window tests: real dialogs of kwl.exe in this process, under Wine on a display.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include "winui/ComApartment.h"

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX),
                                        ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    const CComApartment com;
    return RUN_ALL_TESTS();
}
