// Window tests: a real wx application on the display in DISPLAY (Xvfb when there is none).
#include <glib.h>
#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/debug.h>
#include <wx/init.h>

#include <cstdio>
#include <string>

namespace {

// A failed wx assertion (an unexpected dialog under wxTEST_DIALOG among them) fails the
// test instead of opening the toolkit's assertion dialog, which would wait for a click.
void ReportAssert(const wxString& strFile, int nLine, const wxString& strFunc,
                  const wxString& strCond, const wxString& strMsg) {
    ADD_FAILURE_AT(strFile.utf8_str(), nLine)
        << "wx assertion in " << strFunc.utf8_str() << "(): " << strCond.utf8_str() << " "
        << strMsg.utf8_str();
}

// A warning of the toolkit (a control given less room than it needs, a call it refuses) is a
// fault of ours: it fails the running test, or the whole run when no test is running.
bool g_bToolkitWarnedOutsideTests = false;

// GTK logs structured messages, which only a writer sees (handlers per domain are passed by).
GLogWriterOutput ReportToolkitWarning(GLogLevelFlags eLevel, const GLogField* pFields,
                                      gsize nFields, gpointer pData) {
    if ((eLevel & (G_LOG_LEVEL_WARNING | G_LOG_LEVEL_CRITICAL)) != 0) {
        std::string strDomain;
        std::string strMessage;
        for (gsize i = 0; i < nFields; ++i) {
            const std::string strKey = pFields[i].key;
            if (pFields[i].length >= 0)
                continue; // not a string
            if (strKey == "GLIB_DOMAIN")
                strDomain = static_cast<const char*>(pFields[i].value);
            else if (strKey == "MESSAGE")
                strMessage = static_cast<const char*>(pFields[i].value);
        }
        const std::string strWhat = strDomain + ": " + strMessage;
        if (::testing::UnitTest::GetInstance()->current_test_info() != nullptr)
            ADD_FAILURE() << "toolkit warning: " << strWhat;
        else
            g_bToolkitWarnedOutsideTests = true;
    }
    return g_log_writer_default(eLevel, pFields, nFields, pData);
}

} // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (::testing::GTEST_FLAG(list_tests))
        return RUN_ALL_TESTS(); // listing the tests needs no display
    g_log_set_writer_func(ReportToolkitWarning, nullptr, nullptr);
    wxApp::SetInstance(new wxApp);
    if (!wxEntryStart(argc, argv)) {
        std::fputs("kwl_gui_tests: no display; run them under Xvfb (scripts/test.sh does)\n",
                   stderr);
        return 1;
    }
    wxSetAssertHandler(ReportAssert);
    wxTheApp->SetAppName("kwl");
    wxTheApp->CallOnInit();
    const int nResult = RUN_ALL_TESTS();
    wxEntryCleanup();
    if (g_bToolkitWarnedOutsideTests) {
        std::fputs("kwl_gui_tests: the toolkit warned outside the tests (see above)\n", stderr);
        return 1;
    }
    return nResult;
}
