// Window tests: a real wx application on the display in DISPLAY (Xvfb when there is none).
#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/debug.h>
#include <wx/init.h>

#include <cstdio>

namespace {

// A failed wx assertion (an unexpected dialog under wxTEST_DIALOG among them) fails the
// test instead of opening the toolkit's assertion dialog, which would wait for a click.
void ReportAssert(const wxString& strFile, int nLine, const wxString& strFunc,
                  const wxString& strCond, const wxString& strMsg) {
    ADD_FAILURE_AT(strFile.utf8_str(), nLine)
        << "wx assertion in " << strFunc.utf8_str() << "(): " << strCond.utf8_str() << " "
        << strMsg.utf8_str();
}

} // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (::testing::GTEST_FLAG(list_tests))
        return RUN_ALL_TESTS(); // listing the tests needs no display
    wxApp::SetInstance(new wxApp);
    if (!wxEntryStart(argc, argv)) {
        std::fputs("kwl_gui_tests: no display; run them under Xvfb (scripts/test.sh does)\n",
                   stderr);
        return 1;
    }
    wxSetAssertHandler(ReportAssert);
    wxTheApp->SetAppName("kwl");
    wxTheApp->CallOnInit();
    // A failed wx assertion (an expected dialog that was not shown, a call the window does not
    // allow) fails the running test; the default handler would wait for an answer on screen.
    wxSetAssertHandler([](const wxString& strFile, int nLine, const wxString& strFunc,
                          const wxString& strCond, const wxString& strMsg) {
        ADD_FAILURE_AT(strFile.utf8_str(), nLine)
            << strFunc << ": " << strCond << " " << strMsg;
    });
    const int nResult = RUN_ALL_TESTS();
    wxEntryCleanup();
    return nResult;
}
