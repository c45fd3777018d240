// The separator dialog's decisions without a window.
#include <gtest/gtest.h>

#include "RecordingView.h"
#include "dialogs/SeparatorController.h"
#include "dialogs/SeparatorDlgTemplate.h"
#include "lang/Language.h"

namespace {

TEST(SeparatorControllerTest, OkOnlyForAUsableSeparator) {
    struct SCase {
        const char* pszTyped;
        bool bOk;
    };
    const SCase cases[] = {
        {";", true}, {",", true},   {"\t", true},  {"\xC3\xA9", true}, {"\xE2\x82\xAC", true},
        {"", false}, {"\"", false}, {"\n", false}, {"\r", false},      {"\x01", false},
    };
    const CLanguage language(ELanguage::German);
    CRecordingView view(kSeparatorDlgTemplate);
    CSeparatorController controller(view, language);
    controller.Start();
    EXPECT_EQ(view.Text(IDC_SEPARATOR), ";");
    EXPECT_TRUE(view.IsEnabled(IDC_SEPARATOR_OK));
    EXPECT_EQ(view.Text(IDC_SEPARATOR_OK), language.GetText(kTextStartExport));
    EXPECT_FALSE(view.Name(IDC_SEPARATOR).empty());
    for (const SCase& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::string(c.pszTyped)));
        view.SetText(IDC_SEPARATOR, c.pszTyped);
        controller.OnChange();
        EXPECT_EQ(view.IsEnabled(IDC_SEPARATOR_OK), c.bOk);
        EXPECT_EQ(controller.CanAccept(), c.bOk);
        EXPECT_EQ(controller.Separator(), c.pszTyped);
    }
}

} // namespace
