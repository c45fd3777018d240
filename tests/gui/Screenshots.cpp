// The pictures of the dialogs in docs/, made on demand (not part of a test run), with
//   KWL_SCREENSHOTS=docs scripts/xvfb.sh build/tests/kwl_gui_tests
//       --gtest_also_run_disabled_tests --gtest_filter='Screenshots.*'

#include <cstdlib>
#include <string>

#include "EveryDialog.h"
#include "GuiTest.h"

namespace {

void SaveScreenshot(wxWindow& dlg, const std::string& strPath) {
    dlg.Raise();
    dlg.Refresh();
    for (int i = 0; i < 10; ++i) { // the X server draws after the toolkit has asked it to
        dlg.Update();
        Flush();
        wxMilliSleep(50);
    }
    // What the X server shows, as the user sees it (imagemagick's import).
    const wxRect rect = dlg.GetScreenRect();
    const std::string strCommand = "import -window root -crop " + std::to_string(rect.width) +
                                   "x" + std::to_string(rect.height) + "+" +
                                   std::to_string(rect.x) + "+" + std::to_string(rect.y) + " '" +
                                   strPath + "'";
    ASSERT_EQ(std::system(strCommand.c_str()), 0) << strCommand;
}

class Screenshots : public CGuiTest {};

TEST_F(Screenshots, DISABLED_EveryDialogInBothLanguages) {
    const char* pszDir = std::getenv("KWL_SCREENSHOTS");
    ASSERT_NE(pszDir, nullptr) << "KWL_SCREENSHOTS names the folder for the pictures";
    WriteFormats("");
    for (ELanguage eLanguage : {ELanguage::English, ELanguage::German}) {
        const std::string strSuffix = eLanguage == ELanguage::German ? "-de.png" : "-en.png";
        ForEveryDialog(FormatsPath(), eLanguage, [&](const std::string& strName, wxWindow& dlg) {
            if (strName == "separator")
                SaveScreenshot(dlg, std::string(pszDir) + "/" + strName + strSuffix);
        });
    }
}

} // namespace
