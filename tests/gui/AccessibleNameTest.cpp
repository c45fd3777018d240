// Every control of every dialog can be found without seeing it: walked through the toolkit's
// accessibility objects (what AT-SPI hands a screen reader), each one has a role and a name
// in the shown language, and the names follow a language switch.
#include <gtk/gtk.h>
#include <wx/statbox.h>
#include <wx/stattext.h>

#include <map>
#include <string>

#include "DialogDriver.h"
#include "GuiTest.h"
#include "lang/Language.h"
#include "model/KWLItem.h"
#include "platform/Time.h"
#include "platform/WorkProgress.h"
#include "ui/AboutDlg.h"
#include "ui/FormatDefDlg.h"
#include "ui/KWLDlg.h"
#include "ui/ProgressDlg.h"
#include "ui/SeparatorDlg.h"
#include "ui/WxText.h"

namespace {

struct SAccessible {
    std::string strName;
    AtkRole eRole = ATK_ROLE_INVALID;
};

// What the toolkit tells assistive technology about a control: the object of the widget that
// takes the input (a combo box's entry, a multi-line field's text view).
SAccessible AccessibleOf(wxWindow& control) {
    AtkObject* pObject = gtk_widget_get_accessible(control.GetConnectWidget());
    if (pObject == nullptr)
        return {};
    const char* pszName = atk_object_get_name(pObject);
    return {pszName != nullptr ? pszName : "", atk_object_get_role(pObject)};
}

// A label or frame that shows no text and takes no input is drawing only (the definition
// dialog's grid lines, the About box's panel): nothing to find.
bool IsDrawingOnly(wxWindow& control) {
    return (dynamic_cast<wxStaticText*>(&control) != nullptr ||
            dynamic_cast<wxStaticBox*>(&control) != nullptr) &&
           control.GetLabel().empty();
}

// Every control of pDlg has a role and a name; the names by id, for the checks of each dialog.
std::map<int, std::string> ExpectEveryControlNamed(wxWindow& dlg) {
    std::map<int, std::string> names;
    for (wxWindow* pChild : dlg.GetChildren()) {
        if (IsDrawingOnly(*pChild))
            continue;
        const SAccessible accessible = AccessibleOf(*pChild);
        SCOPED_TRACE(testing::Message() << dlg.GetLabel() << ", control " << pChild->GetId() << " ("
                                        << pChild->GetClassInfo()->GetClassName() << ")");
        EXPECT_NE(accessible.eRole, ATK_ROLE_INVALID);
        EXPECT_NE(accessible.eRole, ATK_ROLE_UNKNOWN);
        EXPECT_FALSE(accessible.strName.empty());
        names[pChild->GetId()] = accessible.strName;
    }
    return names;
}

class AccessibleNameTest : public CGuiTest {};

TEST_F(AccessibleNameTest, MainDialogInBothLanguages) {
    TWindowPtr<CKWLDlg> pDlg = ShowMainDialog();
    struct SCase {
        ELanguage eLanguage;
        int nFlag; // clicked to get there
        std::map<int, std::string> expected;
    };
    const SCase cases[] = {
        {ELanguage::German,
         IDC_FLAG_GERMAN,
         {{IDC_FORMATS, "Schritt 3 - Ausgabeformat einstellen"},
          {IDC_PREVIEW, "Vorschau der Liste"},
          {IDC_FLAG_GERMAN, "Deutsch"},
          {IDC_FLAG_ENGLISH, "Englisch"},
          {IDC_SAMPLE_FILETEXT, "Beispielformat Datei: Name.ext"},
          {IDC_SAMPLE_DIRTEXT, "Beispielformat Verzeichnis: D Name"},
          {IDC_RECURSIVE, "Verzeichnisse rekursiv ausgeben"},
          {IDC_QUIT, "Beenden"}}},
        {ELanguage::English,
         IDC_FLAG_ENGLISH,
         {{IDC_FORMATS, "Step 3 - Select Output Format"},
          {IDC_PREVIEW, "Preview of the listing"},
          {IDC_FLAG_GERMAN, "German"},
          {IDC_FLAG_ENGLISH, "English"},
          {IDC_SAMPLE_FILETEXT, "Sample File Format: Name.ext"},
          {IDC_SAMPLE_DIRTEXT, "Sample Directory Format: D Name"},
          {IDC_RECURSIVE, "List Directories Recursively"},
          {IDC_QUIT, "Quit"}}},
    };
    for (const SCase& c : cases) {
        Click(pDlg.get(), c.nFlag);
        ASSERT_EQ(pDlg->Language().GetLanguage(), c.eLanguage);
        const std::map<int, std::string> names = ExpectEveryControlNamed(*pDlg);
        for (const auto& [nId, strName] : c.expected)
            EXPECT_EQ(names.at(nId), strName) << nId;
    }
    // A sample line is read with what it shows now.
    ChooseEntry(pDlg.get(), IDC_FORMATS, 2);
    EXPECT_EQ(AccessibleOf(*pDlg->FindWindow(IDC_SAMPLE_DIRTEXT)).strName,
              "Sample Directory Format: Name (54321 bytes)");
}

TEST_F(AccessibleNameTest, DefinitionDialogBoxesAreNamedByColumnAndRow) {
    CFileInformation sampleFile;
    CDirInformation sampleDir;
    const CTime now = CTime::GetCurrentTime();
    sampleDir.Set("Name", now, 1, 1);
    sampleFile.Set(1, "Name.ext", false, false, false, false, true, now, now, now);
    struct SCase {
        ELanguage eLanguage;
        std::map<int, std::string> expected;
        const char* pszTip; // of the name column's directory box
    };
    const SCase cases[] = {
        {ELanguage::English,
         {{IDC_FD_NAME_DIR, "Directory: Add Name"},
          {IDC_FD_NAME_FILE, "File: Add Name"},
          {IDC_FD_RO_FILE, "File: Add Readonly Flag"},
          {IDC_FD_FILES_DIR, "Directory: Add Number of Files in the Directory"},
          {IDC_FD_TEXT_DIR, "Directory: Add Text"},
          {IDC_FD_TEXT, "Add Text"},
          {IDC_FD_FORMAT, "Format"},
          {IDC_FD_SAMPLE_FILE, "Sample File Format"},
          {IDC_FD_OK, "OK"}},
         "Tick to give directories this information, then press \"Add Name\""},
        {ELanguage::German,
         {{IDC_FD_NAME_DIR, "Verzeichnis: Name hinzuf\xC3\xBCgen"},
          {IDC_FD_SIZE_FILE, "Datei: Gr\xC3\xB6sse hinzuf\xC3\xBCgen"},
          {IDC_FD_TEXT_FILE, "Datei: Text hinzuf\xC3\xBCgen"},
          {IDC_FD_FORMAT, "Format"},
          {IDC_FD_SAMPLE_DIR, "Beispielformat Verzeichnis"},
          {IDC_FD_OK, "\xC3\x9C"
                      "bernehmen"}},
         "Ankreuzen, damit Verzeichnisse diese Information erhalten, dann \"Name "
         "hinzuf\xC3\xBCgen\" dr\xC3\xBC"
         "cken"},
    };
    for (const SCase& c : cases) {
        const CLanguage language(c.eLanguage);
        TWindowPtr<CFormatDefDlg> pDlg =
            ShowModeless(new CFormatDefDlg(nullptr, language, sampleFile, sampleDir));
        const std::map<int, std::string> names = ExpectEveryControlNamed(*pDlg);
        for (const auto& [nId, strName] : c.expected)
            EXPECT_EQ(names.at(nId), strName) << nId;
        EXPECT_EQ(pDlg->FindWindow(IDC_FD_NAME_DIR)->GetToolTipText(), ToWx(c.pszTip));
    }
}

TEST_F(AccessibleNameTest, SeparatorAboutAndProgressWindows) {
    for (const ELanguage eLanguage : {ELanguage::English, ELanguage::German}) {
        const CLanguage language(eLanguage);
        {
            TWindowPtr<CSeparatorDlg> pDlg = ShowModeless(new CSeparatorDlg(nullptr, language));
            EXPECT_EQ(ExpectEveryControlNamed(*pDlg).at(IDC_SEPARATOR), "Separator");
        }
        {
            TWindowPtr<CAboutDlg> pDlg = ShowModeless(new CAboutDlg(nullptr, language));
            EXPECT_EQ(ExpectEveryControlNamed(*pDlg).at(IDC_ABOUT_OK), "OK");
        }
        SWorkProgress progress;
        const SProgressLabels labels =
            MakeProgressLabels(EProgressText::ReadingTitle, EProgressText::EntriesRead, eLanguage);
        TWindowPtr<CProgressDlg> pDlg =
            ShowModeless(new CProgressDlg(nullptr, progress, labels, [] { return false; }));
        const std::map<int, std::string> names = ExpectEveryControlNamed(*pDlg);
        EXPECT_EQ(names.at(wxID_CANCEL), FromWx(labels.strCancel));
        // The bar is named by the work it shows.
        bool bBarNamed = false;
        for (const auto& [nId, strName] : names)
            bBarNamed = bBarNamed || strName == FromWx(labels.strTitle);
        EXPECT_TRUE(bBarNamed);
    }
}

} // namespace
