// The separator dialog on its own: shown modeless and driven through its real controls.
#include <wx/button.h>
#include <wx/textctrl.h>
#include <wx/uiaction.h>

#include "DialogDriver.h"
#include "lang/Language.h"
#include "lang/TextId.h"
#include "ui/WxText.h"

namespace {

TWindowPtr<CSeparatorDlg> ShowSeparatorDialog(const CLanguage& language) {
    return ShowModeless(new CSeparatorDlg(nullptr, language));
}

class SeparatorDlgTest : public CGuiTest {
protected:
    CLanguage m_english{ELanguage::English};
};

TEST_F(SeparatorDlgTest, OpensWithSemicolonOkFocusedAndTheTextsOfItsLanguage) {
    for (ELanguage eLanguage : {ELanguage::English, ELanguage::German}) {
        SCOPED_TRACE(LanguageId(eLanguage));
        const CLanguage language(eLanguage);
        TWindowPtr<CSeparatorDlg> pDlg = ShowSeparatorDialog(language);
        EXPECT_EQ(TextOf(pDlg.get(), IDC_SEPARATOR), ";");
        EXPECT_EQ(pDlg->GetSeparator(), ";");
        EXPECT_TRUE(IsEnabled(pDlg.get(), IDC_SEPARATOR_OK));
        EXPECT_EQ(wxWindow::FindFocus(), pDlg->FindWindow(IDC_SEPARATOR_OK));
        EXPECT_EQ(pDlg->GetDefaultItem(), pDlg->FindWindow(IDC_SEPARATOR_OK));
        EXPECT_EQ(pDlg->GetTitle(), "Separator...");
        int nCatalogueTexts = 0;
        for (const SControlTemplate& row : pDlg->Template()) {
            if (row.eText != kNoText) {
                EXPECT_EQ(TextOf(pDlg.get(), row.nId), ToWx(language.GetText(row.eText)))
                    << row.nId;
                ++nCatalogueTexts;
            }
        }
        EXPECT_EQ(nCatalogueTexts, 4); // all but the field
    }
    EXPECT_EQ(TextOf(ShowSeparatorDialog(m_english).get(), IDC_SEPARATOR_OK), "Start Export");
    EXPECT_EQ(TextOf(ShowSeparatorDialog(CLanguage(ELanguage::German)).get(), IDC_SEPARATOR_OK),
              "Export starten");
    EXPECT_EQ(TextOf(ShowSeparatorDialog(CLanguage(ELanguage::German)).get(), IDC_SEPARATOR_CANCEL),
              "Abbrechen");
}

// OK exactly while the field holds one character the export can use; a second character
// cannot be typed, whatever its width in bytes.
TEST_F(SeparatorDlgTest, OkFollowsTheField) {
    struct SCase {
        const char* pszTyped; // UTF-8; empty: the field is emptied
        const char* pszField;
        bool bOk;
    };
    const SCase cases[] = {
        {"", "", false},
        {",", ",", true},
        {"ab", "a", true},
        {"\xC3\xA9", "\xC3\xA9", true},          // é: two bytes, one character
        {"\xE2\x82\xAC!", "\xE2\x82\xAC", true}, // €: three bytes, then no room for "!"
        {"\xF0\x9F\x98\x80", "\xF0\x9F\x98\x80", true},
        {"\t", "\t", true},
        {"\n", nullptr, false}, // a line break or another control character is refused
        {"\x1B", nullptr, false},
        {"\x7F", nullptr, false},
        {"\"", "\"", false}, // the quote encloses fields, it cannot also separate them
        {"'", "'", true},
    };
    TWindowPtr<CSeparatorDlg> pDlg = ShowSeparatorDialog(m_english);
    for (const SCase& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::string(c.pszTyped)));
        if (*c.pszTyped == '\0')
            EraseField(pDlg.get(), IDC_SEPARATOR);
        else
            TypeInto(pDlg.get(), IDC_SEPARATOR, wxString::FromUTF8(c.pszTyped));
        if (c.pszField != nullptr) {
            EXPECT_EQ(FromWx(TextOf(pDlg.get(), IDC_SEPARATOR)), c.pszField);
            EXPECT_EQ(pDlg->GetSeparator(), c.pszField);
        }
        EXPECT_EQ(IsEnabled(pDlg.get(), IDC_SEPARATOR_OK), c.bOk);
        EXPECT_TRUE(IsEnabled(pDlg.get(), IDC_SEPARATOR_CANCEL));
        EXPECT_EQ(pDlg->TransferDataFromWindow(), c.bOk);
    }
}

TEST_F(SeparatorDlgTest, OkAndCancelEndTheDialog) {
    struct SCase {
        int nButton;
        int nResult;
    };
    for (const SCase& c :
         {SCase{IDC_SEPARATOR_OK, IDC_SEPARATOR_OK}, SCase{IDC_SEPARATOR_CANCEL, wxID_CANCEL}}) {
        SCOPED_TRACE(c.nButton);
        CSeparatorDlg dlg(nullptr, m_english);
        int nResult = 0;
        wxTEST_DIALOG(nResult = dlg.ShowModal(),
                      wxExpectModal<CSeparatorDlg>(wxString("|"), c.nButton));
        EXPECT_EQ(nResult, c.nResult);
    }
}

// A smoke test with real keys: Enter right after opening accepts ";".
TEST_F(SeparatorDlgTest, EnterAtOnceAcceptsTheSemicolon) {
    TWindowPtr<CSeparatorDlg> pDlg = ShowSeparatorDialog(m_english);
    pDlg->Raise();
    wxUIActionSimulator sim;
    sim.MouseMove(pDlg->ClientToScreen(wxPoint(5, 5)));
    Flush();
    sim.Char(WXK_RETURN);
    for (int i = 0; i < 50 && pDlg->IsShown(); ++i) {
        Flush();
        wxMilliSleep(10);
    }
    EXPECT_FALSE(pDlg->IsShown());
    EXPECT_EQ(pDlg->GetSeparator(), ";");
}

TEST_F(SeparatorDlgTest, TemplateRowsBecomeControlsInTabOrder) {
    TWindowPtr<CSeparatorDlg> pDlg = ShowSeparatorDialog(m_english);
    EXPECT_EQ(pDlg->GetClientSize(), pDlg->ConvertDialogToPixels(wxSize(142, 69)));
    const int expectedIds[] = {IDC_SEPARATOR_OK, IDC_SEPARATOR_CANCEL, IDC_SEPARATOR_NEEDED,
                               IDC_SEPARATOR_LABEL, IDC_SEPARATOR};
    ASSERT_EQ(pDlg->Template().size(), std::size(expectedIds));
    std::size_t nRow = 0;
    ForEachTemplateControl(*pDlg, [&](const SControlTemplate& row, wxWindow& control,
                                      const wxRect& rect) {
        EXPECT_EQ(row.nId, expectedIds[nRow++]);
        EXPECT_EQ(control.GetPosition(), rect.GetPosition());
        EXPECT_EQ(control.GetSize(), rect.GetSize());
        EXPECT_TRUE(control.IsShown());
        EXPECT_TRUE(control.IsEnabled());
    });
}

} // namespace
