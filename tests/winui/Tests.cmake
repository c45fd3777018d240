# The Windows window (src/winui) in real dialogs under Wine: they need a display, which
# scripts/test-windows.sh gives ctest (Xvfb), and Wine's virtual desktop, which
# tests/windows/wine-prefix.sh sets in the prefix. One at a time: they share the display's
# focus and its clipboard.
add_executable(kwl_winui_tests
    winui/DialogNamesTest.cpp
    winui/FormatDefWindowTest.cpp
    winui/MainWindowTest.cpp
    winui/Screenshots.cpp
    winui/ShellDialogsTest.cpp
    winui/TemplateTest.cpp
    winui/TextsFitTest.cpp
    winui/WideTextTest.cpp
    winui/WindowDriver.cpp
    winui/WindowTest.cpp
    winui/WinuiTestMain.cpp)
target_link_libraries(kwl_winui_tests PRIVATE kwl_winui kwl_winui_resources kwl_test_kwllist
                                              kwl_warnings GTest::gtest)
gtest_discover_tests(kwl_winui_tests DISCOVERY_MODE ${KWL_TEST_DISCOVERY_MODE}
                     DISCOVERY_TIMEOUT 60
                     PROPERTIES LABELS gui TIMEOUT 300 RESOURCE_LOCK display)
