// Every control of every dialog can be found without seeing it: walked through the toolkit's
// accessibility objects (what AT-SPI hands a screen reader), each one has a role and a name
// in the shown language, and the names follow a language switch.
#include <gtk/gtk.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/toplevel.h>

#include <map>
#include <string>
#include <utility>

#include "DialogDriver.h"
#include "EveryDialog.h"
#include "GuiTest.h"
#include "lang/Language.h"
#include "lang/LanguageId.h"
#include "ui/AboutDlg.h"
#include "ui/FormatDefDlg.h"
#include "ui/KWLDlg.h"
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

using NameTable = std::map<int, std::string>;

// Names checked word for word, per dialog and language; every other control needs a name.
const std::map<std::pair<std::string, ELanguage>, NameTable> kExpected = {
    {{"main dialog", ELanguage::English},
     {{IDC_FORMATS, "Step 3 - Select Output Format"},
      {IDC_PREVIEW, "Preview of the listing"},
      {IDC_FLAG_GERMAN, "German"},
      {IDC_FLAG_ENGLISH, "English"},
      {IDC_RECURSIVE, "List Directories Recursively"},
      {IDC_QUIT, "Quit"}}},
    {{"main dialog", ELanguage::German},
     {{IDC_FORMATS, "Schritt 3 - Ausgabeformat einstellen"},
      {IDC_PREVIEW, "Vorschau der Liste"},
      {IDC_FLAG_GERMAN, "Deutsch"},
      {IDC_FLAG_ENGLISH, "Englisch"},
      {IDC_QUIT, "Beenden"}}},
    {{"format definition", ELanguage::English},
     {{IDC_FD_NAME_DIR, "Directory: Add Name"},
      {IDC_FD_NAME_FILE, "File: Add Name"},
      {IDC_FD_RO_FILE, "File: Add Readonly Flag"},
      {IDC_FD_FILES_DIR, "Directory: Add Number of Files in the Directory"},
      {IDC_FD_TEXT_DIR, "Directory: Add Text"},
      {IDC_FD_TEXT, "Add Text"},
      {IDC_FD_FORMAT, "Format"},
      {IDC_FD_SAMPLE_FILE, "Sample File Format"},
      {IDC_FD_OK, "OK"}}},
    {{"format definition", ELanguage::German},
     {{IDC_FD_NAME_DIR, "Verzeichnis: Name hinzuf\xC3\xBCgen"},
      {IDC_FD_SIZE_FILE, "Datei: Gr\xC3\xB6sse hinzuf\xC3\xBCgen"},
      {IDC_FD_TEXT_FILE, "Datei: Text hinzuf\xC3\xBCgen"},
      {IDC_FD_FORMAT, "Format"},
      {IDC_FD_SAMPLE_DIR, "Beispielformat Verzeichnis"},
      {IDC_FD_OK, "\xC3\x9C"
                  "bernehmen"}}},
    {{"separator", ELanguage::English}, {{IDC_SEPARATOR, "Separator"}}},
    {{"separator", ELanguage::German}, {{IDC_SEPARATOR, "Separator"}}},
    {{"about", ELanguage::English}, {{IDC_ABOUT_OK, "OK"}}},
    {{"about", ELanguage::German}, {{IDC_ABOUT_OK, "OK"}}},
};

TEST_F(AccessibleNameTest, EveryControlOfEveryDialogHasANameInBothLanguages) {
    WriteFormats("");
    for (ELanguage eLanguage : {ELanguage::English, ELanguage::German}) {
        SCOPED_TRACE(LanguageId(eLanguage));
        int nProgressWindows = 0;
        ForEveryDialog(FormatsPath(), eLanguage, [&](const std::string& strName, wxWindow& dlg) {
            const NameTable names = ExpectEveryControlNamed(dlg);
            if (const auto it = kExpected.find({strName, eLanguage}); it != kExpected.end()) {
                for (const auto& [nId, strExpected] : it->second) {
                    const auto found = names.find(nId);
                    EXPECT_TRUE(found != names.end() && found->second == strExpected)
                        << strName << ", control " << nId << ": "
                        << (found != names.end() ? found->second : "(none)");
                }
            }
            if (strName != "progress")
                return;
            // The bar is named by the work it shows, which the window's title says.
            ++nProgressWindows;
            const std::string strTitle = FromWx(dynamic_cast<wxTopLevelWindow&>(dlg).GetTitle());
            bool bBarNamed = false;
            for (const auto& [nId, strControl] : names)
                bBarNamed = bBarNamed || strControl == strTitle;
            EXPECT_TRUE(bBarNamed) << strTitle;
        });
        EXPECT_GT(nProgressWindows, 0);
    }
}

// Names made of the shown texts change with them: a language switch, another sample.
TEST_F(AccessibleNameTest, MainDialogNamesFollowALanguageSwitchAndTheSamples) {
    TWindowPtr<CKWLDlg> pDlg = ShowMainDialog();
    struct SCase {
        int nFlag; // clicked to get there
        NameTable expected;
    };
    const SCase cases[] = {
        {IDC_FLAG_GERMAN,
         {{IDC_PREVIEW, "Vorschau der Liste"},
          {IDC_FLAG_ENGLISH, "Englisch"},
          {IDC_SAMPLE_DIRTEXT, "Beispielformat Verzeichnis: D Name"}}},
        {IDC_FLAG_ENGLISH,
         {{IDC_PREVIEW, "Preview of the listing"},
          {IDC_FLAG_ENGLISH, "English"},
          {IDC_SAMPLE_DIRTEXT, "Sample Directory Format: D Name"}}},
    };
    for (const SCase& c : cases) {
        Click(pDlg.get(), c.nFlag);
        for (const auto& [nId, strName] : c.expected)
            EXPECT_EQ(AccessibleOf(*pDlg->FindWindow(nId)).strName, strName) << nId;
    }
    ChooseEntry(pDlg.get(), IDC_FORMATS, 2);
    EXPECT_EQ(AccessibleOf(*pDlg->FindWindow(IDC_SAMPLE_DIRTEXT)).strName,
              "Sample Directory Format: Name (54321 bytes)");
}

// The boxes without a label say what they do when the pointer rests on them.
TEST_F(AccessibleNameTest, DefinitionDialogBoxesExplainThemselves) {
    WriteFormats("");
    for (ELanguage eLanguage : {ELanguage::English, ELanguage::German}) {
        ForEveryDialog(FormatsPath(), eLanguage, [&](const std::string& strName, wxWindow& dlg) {
            if (strName != "format definition")
                return;
            EXPECT_EQ(dlg.FindWindow(IDC_FD_NAME_DIR)->GetToolTipText(),
                      ToWx(eLanguage == ELanguage::English
                               ? "Tick to give directories this information, then press \"Add "
                                 "Name\""
                               : "Ankreuzen, damit Verzeichnisse diese Information erhalten, "
                                 "dann \"Name hinzuf\xC3\xBCgen\" dr\xC3\xBC"
                                 "cken"));
            EXPECT_EQ(dlg.FindWindow(IDC_FD_RO_FILE)->GetToolTipText(),
                      ToWx(eLanguage == ELanguage::English
                               ? "Tick to give files this information, then press \"Add "
                                 "Readonly Flag\""
                               : "Ankreuzen, damit Dateien diese Information erhalten, dann "
                                 "\"Lesezugriff-Flag hinzuf\xC3\xBCgen\" dr\xC3\xBC"
                                 "cken"));
        });
    }
}

} // namespace
