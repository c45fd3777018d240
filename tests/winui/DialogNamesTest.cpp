// What a screen reader reads for each control: Windows names a control by its own text, or
// by the label just before it in tab order; a control with neither must be named by its
// window, in the language shown.
#include <windows.h>

#include <gtest/gtest.h>

#include <map>

#include "WindowDriver.h"
#include "WindowTest.h"
#include "dialogs/FormatDefDlgTemplate.h"
#include "dialogs/MainDlgTemplate.h"
#include "lang/Language.h"
#include "winui/FormatDefWindow.h"
#include "winui/TemplateRows.h"

namespace {

bool ShowsOwnText(const SControlTemplate& row, const CLanguage& language) {
    switch (row.eKind) {
    case EControlKind::PushButton:
    case EControlKind::LeftButton:
    case EControlKind::DefaultButton:
    case EControlKind::CheckBox:
        return !RowText(row, language).empty();
    default:
        return false;
    }
}

bool IsLabel(const SControlTemplate& row, const CLanguage& language) {
    return (row.eKind == EControlKind::Label || row.eKind == EControlKind::WrappedLabel ||
            row.eKind == EControlKind::CentredLabel) &&
           !RowText(row, language).empty();
}

// The controls a screen reader cannot name from the template: focusable, without a text of
// their own, and not right after a label.
std::vector<int> ControlsWithoutLabel(std::span<const SControlTemplate> rows,
                                      const CLanguage& language) {
    std::vector<int> ids;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const SControlTemplate& row = rows[i];
        if ((row.nFlags & kTabStop) == 0 || (row.nFlags & kHidden) != 0 ||
            ShowsOwnText(row, language))
            continue;
        if (i > 0 && IsLabel(rows[i - 1], language))
            continue;
        ids.push_back(row.nId);
    }
    return ids;
}

class CNamedFormatDefWindow : public CFormatDefWindow {
public:
    using CFormatDefWindow::CFormatDefWindow;
    void SetAccessibleName(int nId, const std::string& strName) override {
        names[nId] = strName;
        CFormatDefWindow::SetAccessibleName(nId, strName);
    }
    std::map<int, std::string> names;
};

// The name each control was given last.
std::map<int, std::string> LastNames(const std::vector<std::pair<int, std::string>>& given) {
    std::map<int, std::string> names;
    for (const auto& [nId, strName] : given)
        names[nId] = strName;
    return names;
}

class DialogNamesTest : public WindowTest {};

TEST_F(DialogNamesTest, MainDialogNamesEveryControlWithoutALabelInBothLanguages) {
    std::unique_ptr<CTestMainWindow> pWindow = OpenMainWindow();
    std::map<int, std::string> englishNames = LastNames(pWindow->names);
    pWindow->names.clear();
    Click(pWindow->Handle(), IDC_FLAG_GERMAN);
    std::map<int, std::string> germanNames = LastNames(pWindow->names);
    CLanguage language;
    const std::vector<int> unlabelled = ControlsWithoutLabel(kMainDlgLayout, language);
    ASSERT_FALSE(unlabelled.empty()); // the format box, the preview, the flags at least
    for (int nId : unlabelled) {
        SCOPED_TRACE(nId);
        EXPECT_FALSE(englishNames[nId].empty());
        EXPECT_FALSE(germanNames[nId].empty());
    }
    // The flags are named in the language shown.
    EXPECT_EQ(englishNames[IDC_FLAG_GERMAN], "German");
    EXPECT_EQ(germanNames[IDC_FLAG_GERMAN], "Deutsch");
}

TEST_F(DialogNamesTest, DefinitionDialogNamesEveryControlWithoutALabel) {
    CLanguage language;
    language.SetLanguage(ELanguage::English);
    CFileInformation sampleFile;
    CDirInformation sampleDir;
    CNamedFormatDefWindow window(language, sampleFile, sampleDir);
    ASSERT_NE(window.Create(nullptr, language, false), nullptr);
    const std::vector<int> unlabelled =
        ControlsWithoutLabel(kFormatDefDlgTemplate.controls, language);
    ASSERT_FALSE(unlabelled.empty()); // the grid's check boxes carry no text
    for (int nId : unlabelled) {
        SCOPED_TRACE(nId);
        EXPECT_FALSE(window.names[nId].empty());
    }
    EXPECT_EQ(window.names[IDC_FD_NAME_DIR], "Directory: Add Name");
}

} // namespace
