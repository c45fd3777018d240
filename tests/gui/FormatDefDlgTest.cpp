#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/combobox.h>
#include <wx/msgdlg.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "GuiTest.h"
#include "format/KWLFormat.h"
#include "lang/DialogText.h"
#include "platform/Time.h"
#include "ui/FormatDefDlg.h"
#include "ui/KWLDlg.h"
#include "lang/Language.h"
#include "lang/TextId.h"
#include "support/KwlList.h"
#include "ui/WxText.h"

// The definition dialog as the user fills it in: the actions run on the real dialog (real
// events on its controls), then the given button ends it.
template <> class wxExpectModal<CFormatDefDlg> : public wxExpectModalBase<CFormatDefDlg> {
public:
    using FnActions = std::function<void(CFormatDefDlg*)>;
    explicit wxExpectModal(FnActions fnActions, int nButton = IDC_FD_OK)
        : m_fnActions(std::move(fnActions)), m_nButton(nButton) {}

protected:
    int OnInvoked(CFormatDefDlg* pDlg) const override {
        m_fnActions(pDlg);
        if (m_nButton == IDC_FD_OK && !IsEnabled(pDlg, IDC_FD_OK)) {
            ADD_FAILURE() << "OK is disabled for \"" << pDlg->GetFormat() << "\"";
            return wxID_CANCEL;
        }
        return m_nButton;
    }

private:
    FnActions m_fnActions;
    int m_nButton;
};

namespace {

// A message box, answered with OK; its caption and text are kept for the test to check.
class CExpectMessage : public wxExpectModalBase<wxMessageDialog, CExpectMessage> {
public:
    explicit CExpectMessage(wxString* pText) : m_pText(pText) {}

protected:
    int OnInvoked(wxMessageDialog* pDlg) const override {
        EXPECT_EQ(pDlg->GetCaption(), kAppName);
        *m_pText = pDlg->GetMessage();
        return wxID_OK;
    }

private:
    wxString* m_pText;
};

// The width a control's text needs to be seen whole; a button draws a frame around it.
int NeededWidth(wxWindow* pControl) {
    const int nText = pControl->GetTextExtent(dynamic_cast<wxControl*>(pControl)->GetLabelText()).x;
    return dynamic_cast<wxButton*>(pControl) != nullptr ? nText + 2 * 4 : nText;
}

using FormatDlgPtr = TWindowPtr<CFormatDefDlg>;
using MainDlgPtr = TWindowPtr<CKWLDlg>;

const std::string kSecondDefault = "name|F-[(]-F-size-F-[ bytes)]|[\\[]-crTime-[\\]]";
constexpr std::int64_t kSampleTime = 1700000000;

constexpr int kAllBoxes[] = {
    IDC_FD_NAME_DIR,   IDC_FD_NAME_FILE,   IDC_FD_SIZE_DIR,     IDC_FD_SIZE_FILE,
    IDC_FD_CRTIME_DIR, IDC_FD_CRTIME_FILE, IDC_FD_ACCTIME_FILE, IDC_FD_MODTIME_FILE,
    IDC_FD_ARCH_FILE,  IDC_FD_HID_FILE,    IDC_FD_SYS_FILE,     IDC_FD_COMPR_FILE,
    IDC_FD_RO_FILE,    IDC_FD_FILES_DIR,   IDC_FD_TEXT_DIR,     IDC_FD_TEXT_FILE};
constexpr int kAllAddButtons[] = {IDC_FD_ADD_NAME,    IDC_FD_ADD_SIZE,    IDC_FD_ADD_CRTIME,
                                  IDC_FD_ADD_ACCTIME, IDC_FD_ADD_MODTIME, IDC_FD_ADD_ARCH,
                                  IDC_FD_ADD_HID,     IDC_FD_ADD_SYS,     IDC_FD_ADD_COMPR,
                                  IDC_FD_ADD_RO,      IDC_FD_ADD_FILES,   IDC_FD_ADD_TEXT_BEFORE,
                                  IDC_FD_ADD_TEXT};

bool IsTicked(wxWindow* pDlg, int nId) {
    return dynamic_cast<wxCheckBox*>(pDlg->FindWindow(nId))->GetValue();
}

// Sets the text field as typing or pasting does: the change event follows.
void Type(wxWindow* pDlg, const std::string& strText) {
    dynamic_cast<wxTextCtrl*>(pDlg->FindWindow(IDC_FD_TEXT))->SetValue(ToWx(strText));
    Flush();
}

// Ticks the given boxes of a field row and clicks its add button.
void AddRow(wxWindow* pDlg, const std::vector<int>& boxes, int nButton) {
    for (int nBox : boxes)
        Toggle(pDlg, nBox, true);
    Click(pDlg, nButton);
}

// Types the text, ticks the text row's boxes and clicks one of the two text buttons.
void AddText(wxWindow* pDlg, const std::string& strText, const std::vector<int>& boxes,
             int nButton) {
    Type(pDlg, strText);
    for (int nBox : boxes)
        Toggle(pDlg, nBox, true);
    Click(pDlg, nButton);
}

std::string LineOf(wxWindow* pDlg) {
    return FromWx(TextOf(pDlg, IDC_FD_FORMAT));
}

void AddName(wxWindow* pDlg) {
    AddRow(pDlg, {IDC_FD_NAME_DIR, IDC_FD_NAME_FILE}, IDC_FD_ADD_NAME);
}

// The example that builds the second default format, one element per step.
struct SExampleStep {
    std::function<void(wxWindow*)> fnDo;
    const char* pAppended;
};
const std::vector<SExampleStep>& WorkedExample() {
    static const std::vector<SExampleStep> steps = {
        {[](wxWindow* p) { AddName(p); }, "name"},
        {[](wxWindow* p) { AddText(p, "(", {IDC_FD_TEXT_FILE}, IDC_FD_ADD_TEXT_BEFORE); },
         "|F-[(]"},
        {[](wxWindow* p) { AddRow(p, {IDC_FD_SIZE_FILE}, IDC_FD_ADD_SIZE); }, "-F-size"},
        {[](wxWindow* p) { AddText(p, " bytes)", {IDC_FD_TEXT_FILE}, IDC_FD_ADD_TEXT); },
         "-F-[ bytes)]"},
        {[](wxWindow* p) {
             AddText(p, "[", {IDC_FD_TEXT_DIR, IDC_FD_TEXT_FILE}, IDC_FD_ADD_TEXT_BEFORE);
         },
         "|[\\[]"},
        {[](wxWindow* p) {
             AddRow(p, {IDC_FD_CRTIME_DIR, IDC_FD_CRTIME_FILE}, IDC_FD_ADD_CRTIME);
         },
         "-crTime"},
        {[](wxWindow* p) {
             AddText(p, "]", {IDC_FD_TEXT_DIR, IDC_FD_TEXT_FILE}, IDC_FD_ADD_TEXT);
         },
         "-[\\]]"},
    };
    return steps;
}

void RunWorkedExample(wxWindow* pDlg) {
    for (const SExampleStep& step : WorkedExample())
        step.fnDo(pDlg);
}

class FormatDefDlgTest : public CGuiTest {
protected:
    FormatDefDlgTest() {
        m_sampleDir.Set("Name", CTime(kSampleTime), 54321, 123);
        m_sampleFile.Set(4321, "Name.ext", false, false, false, false, true, CTime(kSampleTime),
                         CTime(kSampleTime), CTime(kSampleTime));
    }

    // The dialog alone, modeless, on samples like the main dialog's.
    FormatDlgPtr OpenDialog(ELanguage eLanguage = ELanguage::English) {
        m_language.SetLanguage(eLanguage);
        FormatDlgPtr pDlg(new CFormatDefDlg(nullptr, m_language, m_sampleFile, m_sampleDir));
        pDlg->Show();
        Flush();
        return pDlg;
    }

    // The start state: every box unticked and usable, nothing to add or accept yet.
    static void ExpectStartState(wxWindow* pDlg) {
        for (int nBox : kAllBoxes) {
            SCOPED_TRACE(nBox);
            EXPECT_FALSE(IsTicked(pDlg, nBox));
            EXPECT_TRUE(IsEnabled(pDlg, nBox));
        }
        for (int nButton : kAllAddButtons)
            EXPECT_FALSE(IsEnabled(pDlg, nButton)) << nButton;
        EXPECT_FALSE(IsEnabled(pDlg, IDC_FD_OK));
        EXPECT_FALSE(IsEnabled(pDlg, IDC_FD_CLEAR));
        EXPECT_TRUE(IsEnabled(pDlg, IDC_FD_CANCEL));
        for (int nEdit : {IDC_FD_FORMAT, IDC_FD_TEXT, IDC_FD_SAMPLE_FILE, IDC_FD_SAMPLE_DIR})
            EXPECT_EQ(TextOf(pDlg, nEdit), "") << nEdit;
    }

    static std::string Time() { return FormatLocalTime(kSampleTime); }

    CLanguage m_language{ELanguage::English};
    CDirInformation m_sampleDir;
    CFileInformation m_sampleFile;
    CTempTree m_tree;
};

TEST_F(FormatDefDlgTest, TemplateRowsBecomeControlsInTabOrder) {
    FormatDlgPtr pDlg = OpenDialog();
    EXPECT_EQ(pDlg->GetTitle(), "Define A New Output Format");
    EXPECT_EQ(pDlg->GetClientSize(), pDlg->ConvertDialogToPixels(wxSize(348, 333)));
    EXPECT_EQ(pDlg->Template().size(), 56u);
    int nFrames = 0;
    ForEachTemplateControl(*pDlg, [&](const SControlTemplate& row, wxWindow& control,
                                      const wxRect& rect) {
        wxWindow* pControl = &control;
        const wxRect actual = pControl->GetRect();
        EXPECT_EQ(actual.x, rect.x);
        // A text wider than its row (GTK's font is wider) widens the control, nothing else.
        if (row.eText != kNoText && pControl->GetBestSize().x > rect.width)
            EXPECT_GT(actual.width, rect.width);
        else
            EXPECT_EQ(actual.width, rect.width);
        if (row.eKind == EControlKind::CheckBox) {
            // As high as GTK draws a check box, centred on the template's row.
            EXPECT_GE(actual.height, rect.height);
            EXPECT_LE(std::abs(2 * actual.y + actual.height - (2 * rect.y + rect.height)), 1);
        } else {
            EXPECT_EQ(actual.y, rect.y);
            EXPECT_EQ(actual.height, rect.height);
        }
        EXPECT_TRUE(pControl->IsShown());
        switch (row.eKind) {
        case EControlKind::CheckBox:
            EXPECT_NE(dynamic_cast<wxCheckBox*>(pControl), nullptr);
            EXPECT_EQ(pControl->GetLabel(), "");
            break;
        case EControlKind::Edit:
        case EControlKind::ReadOnlyEdit: {
            auto* pEdit = dynamic_cast<wxTextCtrl*>(pControl);
            ASSERT_NE(pEdit, nullptr);
            EXPECT_EQ(pEdit->IsEditable(), row.eKind == EControlKind::Edit);
            EXPECT_FALSE(pEdit->IsMultiLine());
            break;
        }
        case EControlKind::PushButton:
        case EControlKind::LeftButton:
        case EControlKind::DefaultButton:
            ASSERT_NE(dynamic_cast<wxButton*>(pControl), nullptr);
            EXPECT_EQ(pControl->HasFlag(wxBU_LEFT), row.eKind == EControlKind::LeftButton);
            EXPECT_EQ(pDlg->GetDefaultItem() == pControl, row.eKind == EControlKind::DefaultButton);
            break;
        case EControlKind::GroupBox:
            EXPECT_NE(dynamic_cast<wxStaticBox*>(pControl), nullptr);
            EXPECT_EQ(pControl->GetLabel(), "");
            ++nFrames;
            break;
        case EControlKind::Label:
            EXPECT_NE(dynamic_cast<wxStaticText*>(pControl), nullptr);
            break;
        default:
            ADD_FAILURE() << "a kind the template does not use";
        }
        if (row.eText != kNoText) {
            EXPECT_EQ(TextOf(pDlg.get(), row.nId), ToWx(m_language.GetText(row.eText)));
        }
    });
    EXPECT_EQ(nFrames, 14); // the grid's 13 and the text row's frame
    // Row by row: every box first, the add buttons later.
    std::vector<int> boxes;
    std::vector<int> addButtons;
    for (const SControlTemplate& row : pDlg->Template()) {
        if (row.eKind == EControlKind::CheckBox)
            boxes.push_back(row.nId);
        else if (row.eKind == EControlKind::LeftButton)
            addButtons.push_back(row.nId);
    }
    EXPECT_EQ(boxes, std::vector<int>(std::begin(kAllBoxes), std::end(kAllBoxes)));
    EXPECT_EQ(addButtons, std::vector<int>(std::begin(kAllAddButtons), std::end(kAllAddButtons)));
    ExpectStartState(pDlg.get());
    EXPECT_EQ(wxWindow::FindFocus(), pDlg->Control(IDC_FD_NAME_DIR)); // first in tab order
}

// GTK's fonts are wider than the template's: no text may be cut off or run under another
// control, in either language.
TEST_F(FormatDefDlgTest, TextsFitTheirControlsInBothLanguages) {
    for (ELanguage eLanguage : {ELanguage::English, ELanguage::German}) {
        SCOPED_TRACE(LanguageId(eLanguage));
        FormatDlgPtr pDlg = OpenDialog(eLanguage);
        EXPECT_EQ(pDlg->GetTitle(), ToWx(m_language.GetText(kTextDefineCaption)));
        const wxRect client(pDlg->GetClientSize());
        std::vector<wxWindow*> controls;
        for (const SControlTemplate& row : pDlg->Template()) {
            wxWindow* pControl = pDlg->Control(row.nId);
            if (row.eKind == EControlKind::GroupBox)
                continue;
            SCOPED_TRACE(row.nId);
            EXPECT_TRUE(client.Contains(pControl->GetRect()));
            if (row.eText != kNoText) {
                EXPECT_EQ(TextOf(pDlg.get(), row.nId), ToWx(m_language.GetText(row.eText)));
                EXPECT_LE(NeededWidth(pControl), pControl->GetSize().x);
            }
            for (wxWindow* pOther : controls)
                EXPECT_FALSE(pControl->GetRect().Intersects(pOther->GetRect())) << pOther->GetId();
            controls.push_back(pControl);
        }
    }
}

TEST_F(FormatDefDlgTest, WorkedExampleBuildsTheSecondDefaultFormat) {
    FormatDlgPtr pDlg = OpenDialog();
    std::string strExpected;
    for (const SExampleStep& step : WorkedExample()) {
        SCOPED_TRACE(step.pAppended);
        step.fnDo(pDlg.get());
        strExpected += step.pAppended;
        EXPECT_EQ(LineOf(pDlg.get()), strExpected);
        EXPECT_EQ(pDlg->GetFormat(), strExpected);
        EXPECT_TRUE(IsEnabled(pDlg.get(), IDC_FD_CLEAR));
        // The text row is ready for more text, the text buttons wait for it.
        EXPECT_EQ(TextOf(pDlg.get(), IDC_FD_TEXT), "");
        EXPECT_FALSE(IsEnabled(pDlg.get(), IDC_FD_ADD_TEXT_BEFORE));
        EXPECT_FALSE(IsEnabled(pDlg.get(), IDC_FD_ADD_TEXT));
        for (int nBox : {IDC_FD_TEXT_DIR, IDC_FD_TEXT_FILE}) {
            EXPECT_FALSE(IsTicked(pDlg.get(), nBox));
            EXPECT_TRUE(IsEnabled(pDlg.get(), nBox));
        }
    }
    EXPECT_EQ(pDlg->GetFormat(), kSecondDefault);
    EXPECT_EQ(FromWx(TextOf(pDlg.get(), IDC_FD_SAMPLE_FILE)),
              "Name.ext (4321 bytes) [" + Time() + "]");
    EXPECT_EQ(FromWx(TextOf(pDlg.get(), IDC_FD_SAMPLE_DIR)), "Name [" + Time() + "]");
    EXPECT_TRUE(IsEnabled(pDlg.get(), IDC_FD_OK));
    // Rows 1 and 3 are used for both kinds, row 2 for files only.
    for (int nBox : {IDC_FD_NAME_DIR, IDC_FD_NAME_FILE, IDC_FD_SIZE_FILE, IDC_FD_CRTIME_DIR,
                     IDC_FD_CRTIME_FILE}) {
        EXPECT_FALSE(IsEnabled(pDlg.get(), nBox)) << nBox;
        EXPECT_FALSE(IsTicked(pDlg.get(), nBox)) << nBox;
    }
    EXPECT_TRUE(IsEnabled(pDlg.get(), IDC_FD_SIZE_DIR));
    for (int nButton : {IDC_FD_ADD_NAME, IDC_FD_ADD_SIZE, IDC_FD_ADD_CRTIME})
        EXPECT_FALSE(IsEnabled(pDlg.get(), nButton)) << nButton;
}

// Each row adds its own keyword, qualified for the kinds whose boxes were ticked.
TEST_F(FormatDefDlgTest, EveryRowAddsItsKeywordForTheTickedKinds) {
    struct SRow {
        std::vector<int> boxes;
        int nButton;
        const char* pElement;
    };
    const SRow rows[] = {
        {{IDC_FD_NAME_DIR, IDC_FD_NAME_FILE}, IDC_FD_ADD_NAME, "name"},
        {{IDC_FD_SIZE_DIR}, IDC_FD_ADD_SIZE, "D-size"},
        {{IDC_FD_CRTIME_FILE}, IDC_FD_ADD_CRTIME, "F-crTime"},
        {{IDC_FD_ACCTIME_FILE}, IDC_FD_ADD_ACCTIME, "F-accTime"},
        {{IDC_FD_MODTIME_FILE}, IDC_FD_ADD_MODTIME, "F-modTime"},
        {{IDC_FD_ARCH_FILE}, IDC_FD_ADD_ARCH, "F-arch"},
        {{IDC_FD_HID_FILE}, IDC_FD_ADD_HID, "F-hid"},
        {{IDC_FD_SYS_FILE}, IDC_FD_ADD_SYS, "F-sys"},
        {{IDC_FD_COMPR_FILE}, IDC_FD_ADD_COMPR, "F-compr"},
        {{IDC_FD_RO_FILE}, IDC_FD_ADD_RO, "F-ro"},
        {{IDC_FD_FILES_DIR}, IDC_FD_ADD_FILES, "D-files"},
    };
    FormatDlgPtr pDlg = OpenDialog();
    std::string strExpected;
    for (const SRow& row : rows) {
        SCOPED_TRACE(row.pElement);
        for (int nBox : row.boxes)
            Toggle(pDlg.get(), nBox, true);
        EXPECT_TRUE(IsEnabled(pDlg.get(), row.nButton));
        Click(pDlg.get(), row.nButton);
        strExpected += (strExpected.empty() ? "" : "|") + std::string(row.pElement);
        EXPECT_EQ(LineOf(pDlg.get()), strExpected);
        EXPECT_FALSE(IsEnabled(pDlg.get(), row.nButton));
        for (int nBox : row.boxes)
            EXPECT_FALSE(IsEnabled(pDlg.get(), nBox));
    }
    EXPECT_EQ(FromWx(TextOf(pDlg.get(), IDC_FD_SAMPLE_FILE)),
              "Name.ext " + Time() + " " + Time() + " " + Time() + " A - - - -");
    EXPECT_EQ(FromWx(TextOf(pDlg.get(), IDC_FD_SAMPLE_DIR)), "Name 54321 123");
    // Only the boxes for the kinds not yet used remain.
    EXPECT_TRUE(IsEnabled(pDlg.get(), IDC_FD_SIZE_FILE));
    EXPECT_TRUE(IsEnabled(pDlg.get(), IDC_FD_CRTIME_DIR));
}

// A text of thousands of characters: the samples show its beginning, the line holds it whole.
TEST_F(FormatDefDlgTest, LongTextIsShownShortenedInTheSamples) {
    FormatDlgPtr pDlg = OpenDialog();
    const std::string strText(5000, 'x');
    AddName(pDlg.get());
    AddText(pDlg.get(), strText, {IDC_FD_TEXT_DIR, IDC_FD_TEXT_FILE}, IDC_FD_ADD_TEXT_BEFORE);
    EXPECT_EQ(pDlg->GetFormat(), "name|[" + strText + "]");
    EXPECT_EQ(TextOf(pDlg.get(), IDC_FD_SAMPLE_FILE), ToWx(SampleLine("Name.ext\t" + strText)));
    EXPECT_EQ(TextOf(pDlg.get(), IDC_FD_SAMPLE_DIR), ToWx(SampleLine("Name\t" + strText)));
    EXPECT_LE(TextOf(pDlg.get(), IDC_FD_SAMPLE_FILE).length(), kShownLineLimit);
    EXPECT_TRUE(IsEnabled(pDlg.get(), IDC_FD_OK));
}

TEST_F(FormatDefDlgTest, OneKindOnlyKeepsTheOtherBoxAndOkWaitsForBothSamples) {
    FormatDlgPtr pDlg = OpenDialog();
    Toggle(pDlg.get(), IDC_FD_NAME_DIR, true);
    EXPECT_TRUE(IsEnabled(pDlg.get(), IDC_FD_ADD_NAME));
    Toggle(pDlg.get(), IDC_FD_NAME_DIR, false); // unticking takes the button back
    EXPECT_FALSE(IsEnabled(pDlg.get(), IDC_FD_ADD_NAME));
    AddRow(pDlg.get(), {IDC_FD_NAME_DIR}, IDC_FD_ADD_NAME);
    EXPECT_EQ(LineOf(pDlg.get()), "D-name");
    EXPECT_FALSE(IsEnabled(pDlg.get(), IDC_FD_NAME_DIR));
    EXPECT_FALSE(IsTicked(pDlg.get(), IDC_FD_NAME_DIR));
    EXPECT_TRUE(IsEnabled(pDlg.get(), IDC_FD_NAME_FILE));
    EXPECT_FALSE(IsEnabled(pDlg.get(), IDC_FD_ADD_NAME));
    // Files render nothing yet: no OK, and no message either.
    EXPECT_EQ(TextOf(pDlg.get(), IDC_FD_SAMPLE_FILE), "");
    EXPECT_EQ(TextOf(pDlg.get(), IDC_FD_SAMPLE_DIR), "Name");
    EXPECT_FALSE(IsEnabled(pDlg.get(), IDC_FD_OK));

    AddRow(pDlg.get(), {IDC_FD_NAME_FILE}, IDC_FD_ADD_NAME);
    EXPECT_EQ(LineOf(pDlg.get()), "D-name|F-name");
    EXPECT_EQ(TextOf(pDlg.get(), IDC_FD_SAMPLE_FILE), "Name.ext");
    EXPECT_TRUE(IsEnabled(pDlg.get(), IDC_FD_OK));
    EXPECT_FALSE(IsEnabled(pDlg.get(), IDC_FD_NAME_FILE));
}

TEST_F(FormatDefDlgTest, TextBeforeOpensAColumnAndTextContinuesOne) {
    struct SStep {
        std::function<void(wxWindow*)> fnDo;
        const char* pLine;
    };
    const std::vector<int> both = {IDC_FD_TEXT_DIR, IDC_FD_TEXT_FILE};
    const SStep steps[] = {
        // The first element has no separator, whichever button adds it.
        {[&](wxWindow* p) { AddText(p, "a", both, IDC_FD_ADD_TEXT); }, "[a]"},
        {[](wxWindow* p) { AddName(p); }, "[a]|name"},
        {[&](wxWindow* p) { AddText(p, "b", both, IDC_FD_ADD_TEXT); }, "[a]|name-[b]"},
        {[&](wxWindow* p) { AddText(p, "c", both, IDC_FD_ADD_TEXT_BEFORE); }, "[a]|name-[b]|[c]"},
        {[](wxWindow* p) { AddRow(p, {IDC_FD_SIZE_FILE}, IDC_FD_ADD_SIZE); },
         "[a]|name-[b]|[c]-F-size"},
        {[&](wxWindow* p) { AddText(p, "d", {IDC_FD_TEXT_DIR}, IDC_FD_ADD_TEXT_BEFORE); },
         "[a]|name-[b]|[c]-F-size|D-[d]"},
        {[&](wxWindow* p) { AddText(p, "e", both, IDC_FD_ADD_TEXT); },
         "[a]|name-[b]|[c]-F-size|D-[d]-[e]"},
        {[&](wxWindow* p) { AddText(p, "f", both, IDC_FD_ADD_TEXT); },
         "[a]|name-[b]|[c]-F-size|D-[d]-[e]-[f]"},
        {[](wxWindow* p) { AddRow(p, {IDC_FD_FILES_DIR}, IDC_FD_ADD_FILES); },
         "[a]|name-[b]|[c]-F-size|D-[d]-[e]-[f]|D-files"},
    };
    FormatDlgPtr pDlg = OpenDialog();
    for (const SStep& step : steps) {
        SCOPED_TRACE(step.pLine);
        step.fnDo(pDlg.get());
        EXPECT_EQ(LineOf(pDlg.get()), step.pLine);
    }
    // Elements of a column are joined directly; columns are separated by a blank here.
    EXPECT_EQ(FromWx(TextOf(pDlg.get(), IDC_FD_SAMPLE_FILE)), "a Name.extb c4321 ef");
    EXPECT_EQ(FromWx(TextOf(pDlg.get(), IDC_FD_SAMPLE_DIR)), "a Nameb c def 123");
}

TEST_F(FormatDefDlgTest, BracketsAreEscaped) {
    FormatDlgPtr pDlg = OpenDialog();
    AddText(pDlg.get(), "a[b]c", {IDC_FD_TEXT_DIR, IDC_FD_TEXT_FILE}, IDC_FD_ADD_TEXT);
    EXPECT_EQ(LineOf(pDlg.get()), "[a\\[b\\]c]");
    EXPECT_EQ(TextOf(pDlg.get(), IDC_FD_SAMPLE_FILE), "a[b]c");
    EXPECT_EQ(TextOf(pDlg.get(), IDC_FD_SAMPLE_DIR), "a[b]c");
    EXPECT_TRUE(IsEnabled(pDlg.get(), IDC_FD_OK));
}

TEST_F(FormatDefDlgTest, TextButtonsNeedTextAndATickedTextBox) {
    FormatDlgPtr pDlg = OpenDialog();
    struct SCase {
        const char* pText;
        bool bDir;
        bool bFile;
        bool bEnabled;
    };
    const SCase cases[] = {
        {"", false, false, false}, {"", true, true, false},  {"x", false, false, false},
        {"x", true, false, true},  {"x", false, true, true}, {"x", true, true, true},
    };
    for (const SCase& c : cases) {
        SCOPED_TRACE(testing::Message() << '"' << c.pText << "\" " << c.bDir << c.bFile);
        Type(pDlg.get(), c.pText);
        Toggle(pDlg.get(), IDC_FD_TEXT_DIR, c.bDir);
        Toggle(pDlg.get(), IDC_FD_TEXT_FILE, c.bFile);
        EXPECT_EQ(IsEnabled(pDlg.get(), IDC_FD_ADD_TEXT_BEFORE), c.bEnabled);
        EXPECT_EQ(IsEnabled(pDlg.get(), IDC_FD_ADD_TEXT), c.bEnabled);
    }
}

TEST_F(FormatDefDlgTest, WrongCharacterIsRefusedWithTheList) {
    for (ELanguage eLanguage : {ELanguage::English, ELanguage::German}) {
        SCOPED_TRACE(LanguageId(eLanguage));
        FormatDlgPtr pDlg = OpenDialog(eLanguage);
        const wxString strMessage = ToWx(m_language.GetText(kTextOnlyCharacters)) +
                                    "'a' - 'z', 'A' - 'Z', '0' - '9', '(',')', '[', ']', und ' '";
        Toggle(pDlg.get(), IDC_FD_TEXT_FILE, true);
        wxString strShown;
        wxTEST_DIALOG(Type(pDlg.get(), "%"), CExpectMessage(&strShown).Describe("entry 42"));
        EXPECT_EQ(strShown, strMessage);
        EXPECT_EQ(TextOf(pDlg.get(), IDC_FD_TEXT), "");
        EXPECT_FALSE(IsEnabled(pDlg.get(), IDC_FD_ADD_TEXT));

        Type(pDlg.get(), "Gr\xC3\xB6sse:"); // umlauts and ":" are taken, though not listed
        EXPECT_EQ(FromWx(TextOf(pDlg.get(), IDC_FD_TEXT)), "Gr\xC3\xB6sse:");
        EXPECT_TRUE(IsEnabled(pDlg.get(), IDC_FD_ADD_TEXT));

        // A pasted text with one wrong character goes back to what the field held.
        strShown.clear();
        wxTEST_DIALOG(Type(pDlg.get(), "Gr\xC3\xB6\xC3\x9F"
                                       "e"),
                      CExpectMessage(&strShown).Describe("entry 42 for the sharp s"));
        EXPECT_EQ(strShown, strMessage);
        EXPECT_EQ(FromWx(TextOf(pDlg.get(), IDC_FD_TEXT)), "Gr\xC3\xB6sse:");
        EXPECT_TRUE(IsEnabled(pDlg.get(), IDC_FD_ADD_TEXT));
        Click(pDlg.get(), IDC_FD_ADD_TEXT);
        EXPECT_EQ(LineOf(pDlg.get()), "F-[Gr\xC3\xB6sse:]");
        EXPECT_EQ(LineOf(pDlg.get()), pDlg->GetFormat());
    }
}

TEST_F(FormatDefDlgTest, ClearGoesBackToTheStartState) {
    FormatDlgPtr pDlg = OpenDialog();
    RunWorkedExample(pDlg.get());
    AddRow(pDlg.get(), {IDC_FD_RO_FILE}, IDC_FD_ADD_RO);
    Type(pDlg.get(), "left");
    Toggle(pDlg.get(), IDC_FD_TEXT_DIR, true);
    Toggle(pDlg.get(), IDC_FD_ACCTIME_FILE, true);
    ASSERT_TRUE(IsEnabled(pDlg.get(), IDC_FD_OK));
    Click(pDlg.get(), IDC_FD_CLEAR);
    ExpectStartState(pDlg.get());
    EXPECT_EQ(pDlg->GetFormat(), "");
    // The next line starts afresh.
    AddName(pDlg.get());
    EXPECT_EQ(LineOf(pDlg.get()), "name");
    EXPECT_TRUE(IsEnabled(pDlg.get(), IDC_FD_OK));
}

// Through the main dialog: the new line is listed, selected, in use and stored.
TEST_F(FormatDefDlgTest, DefinedFormatIsListedSelectedAndStored) {
    const std::string strOld = "1\nD-[D ]-name\nname|D-[(]-D-size-D-[ bytes)]\n";
    WriteFormats(strOld);
    MainDlgPtr pMain = ShowMainDialog();
    wxTEST_DIALOG(Click(pMain.get(), IDC_DEFINE_FORMAT),
                  wxExpectModal<CFormatDefDlg>(RunWorkedExample).Describe("worked example"));
    auto* pCombo = dynamic_cast<wxComboBox*>(pMain->FindWindow(IDC_FORMATS));
    ASSERT_EQ(pCombo->GetCount(), 3u);
    EXPECT_EQ(FromWx(pCombo->GetString(2)), kSecondDefault);
    EXPECT_EQ(pCombo->GetSelection(), 2);
    EXPECT_EQ(pMain->FormatLines().back(), kSecondDefault);
    EXPECT_EQ(pMain->SelectedFormat(), kSecondDefault);
    EXPECT_EQ(pMain->Format().GetFileFormat(), "name|[(]size[ bytes)]|[\\[]crTime[\\]]");
    EXPECT_EQ(pMain->Format().GetDirFormat(), "name|[\\[]crTime[\\]]");
    EXPECT_TRUE(
        FromWx(TextOf(pMain.get(), IDC_SAMPLE_FILETEXT)).starts_with("Name.ext (4321 bytes) ["));
    EXPECT_EQ(ReadFormats(), strOld + kSecondDefault + "\n");
    // No directory chosen yet: nothing to compute.
    EXPECT_FALSE(IsEnabled(pMain.get(), IDC_COMPUTE_LIST));
    // The next start lists it too.
    pMain.reset();
    pMain = ShowMainDialog();
    EXPECT_EQ(pMain->FormatLines().back(), kSecondDefault);
}

TEST_F(FormatDefDlgTest, CancelKeepsTheSelectedFormatInUse) {
    m_tree.AddFile("x/sub/c.txt", 3);
    m_tree.AddFile("x/a.txt", 1);
    MainDlgPtr pMain = ShowMainDialog();
    ChooseEntry(pMain.get(), IDC_FORMATS, 2); // name|D-[(]-D-size-D-[ bytes)]
    const std::string strSelected = pMain->SelectedFormat();
    wxTEST_DIALOG(Click(pMain.get(), IDC_SELECT_DIRECTORY),
                  wxExpectModal<wxDirDialog>(ToWx(m_tree.Path("x"))));
    Click(pMain.get(), IDC_COMPUTE_LIST);
    const std::string strListing = pMain->ListingText();
    const wxString strFileSample = TextOf(pMain.get(), IDC_SAMPLE_FILETEXT);
    const wxString strDirSample = TextOf(pMain.get(), IDC_SAMPLE_DIRTEXT);
    const std::string strStored = ReadFormats();

    wxTEST_DIALOG(Click(pMain.get(), IDC_DEFINE_FORMAT),
                  wxExpectModal<CFormatDefDlg>(
                      [pMainDlg = pMain.get()](CFormatDefDlg* pDlg) {
                          AddRow(pDlg, {IDC_FD_HID_FILE}, IDC_FD_ADD_HID);
                          AddText(pDlg, "x", {IDC_FD_TEXT_DIR}, IDC_FD_ADD_TEXT);
                          // The preview renders with an engine of its own.
                          EXPECT_EQ(FromWx(TextOf(pDlg, IDC_FD_SAMPLE_FILE)), "-");
                          EXPECT_EQ(pMainDlg->Format().GetFileFormat(), "name");
                      },
                      IDC_FD_CANCEL));
    EXPECT_EQ(pMain->SelectedFormat(), strSelected);
    EXPECT_EQ(pMain->Format().GetFileFormat(), "name");
    EXPECT_EQ(pMain->Format().GetDirFormat(), "name|[(]size[ bytes)]");
    EXPECT_EQ(TextOf(pMain.get(), IDC_SAMPLE_FILETEXT), strFileSample);
    EXPECT_EQ(TextOf(pMain.get(), IDC_SAMPLE_DIRTEXT), strDirSample);
    EXPECT_EQ(pMain->FormatLines().size(), 3u);
    EXPECT_EQ(ReadFormats(), strStored);
    // The listing is computed with the selected format, not the half-built line.
    wxTEST_DIALOG(Click(pMain.get(), IDC_SELECT_DIRECTORY),
                  wxExpectModal<wxDirDialog>(ToWx(m_tree.Path("x"))));
    Click(pMain.get(), IDC_COMPUTE_LIST);
    EXPECT_EQ(pMain->ListingText(), strListing);
}

// Selection by text takes the first entry from the second on that begins with the new line,
// so a new "name" selects the existing line that begins with it, which is then in use.
TEST_F(FormatDefDlgTest, NewLineThatBeginsAnExistingEntrySelectsThatEntry) {
    for (int nStart : {0, 1}) {
        SCOPED_TRACE(nStart);
        MainDlgPtr pMain = ShowMainDialog();
        ChooseEntry(pMain.get(), IDC_FORMATS, nStart);
        wxTEST_DIALOG(Click(pMain.get(), IDC_DEFINE_FORMAT),
                      wxExpectModal<CFormatDefDlg>([](CFormatDefDlg* pDlg) { AddName(pDlg); }));
        auto* pCombo = dynamic_cast<wxComboBox*>(pMain->FindWindow(IDC_FORMATS));
        ASSERT_EQ(pCombo->GetCount(), 4u);
        EXPECT_EQ(pCombo->GetString(3), "name");
        EXPECT_EQ(pCombo->GetSelection(), 1);
        EXPECT_EQ(pMain->SelectedFormat(), kSecondDefault);
        EXPECT_EQ(pMain->Format().GetFileFormat(), "name|[(]size[ bytes)]|[\\[]crTime[\\]]");
        EXPECT_TRUE(
            ReadFormats().ends_with(kSecondDefault + "\nname|D-[(]-D-size-D-[ bytes)]\nname\n"));
        pMain.reset();
        std::filesystem::remove(FormatsPath());
    }
}

// An editor that writes no final line feed: the new line still comes on a line of its own.
TEST_F(FormatDefDlgTest, NewLineNeverJoinsALastLineWithoutLineFeed) {
    WriteFormats("1\nD-[D ]-name\nname");
    MainDlgPtr pMain = ShowMainDialog();
    wxTEST_DIALOG(Click(pMain.get(), IDC_DEFINE_FORMAT),
                  wxExpectModal<CFormatDefDlg>([](CFormatDefDlg* pDlg) {
                      AddName(pDlg);
                      AddRow(pDlg, {IDC_FD_SIZE_FILE}, IDC_FD_ADD_SIZE);
                  }));
    EXPECT_EQ(ReadFormats(), "1\nD-[D ]-name\nname\nname|F-size\n");
    EXPECT_EQ(pMain->FormatLines(), (std::vector<std::string>{"D-[D ]-name", "name", "name|F-size"}));
}

TEST_F(FormatDefDlgTest, LineThatCannotBeStoredStaysForThisRun) {
    MainDlgPtr pMain = ShowMainDialog();
    // A directory in the way: even root cannot append to it.
    std::filesystem::remove(FormatsPath());
    std::filesystem::create_directory(FormatsPath());
    wxString strShown;
    wxTEST_DIALOG(Click(pMain.get(), IDC_DEFINE_FORMAT),
                  wxExpectModal<CFormatDefDlg>([](CFormatDefDlg* pDlg) {
                      AddName(pDlg);
                      AddRow(pDlg, {IDC_FD_SIZE_FILE}, IDC_FD_ADD_SIZE);
                  }),
                  CExpectMessage(&strShown).Describe("entry 45"));
    EXPECT_EQ(strShown, ToWx(pMain->Language().GetText(kTextFormatNotStored)));
    EXPECT_EQ(pMain->FormatLines().back(), "name|F-size");
    EXPECT_EQ(pMain->SelectedFormat(), "name|F-size");
    EXPECT_TRUE(std::filesystem::is_directory(FormatsPath()));
}

// formats.def as an old file (Windows-1252) and as a Linux editor (UTF-8) writes it, and a line
// defined in the window: each is listed as what it says, renders without a message, and
// kwl-list, given the line's bytes from the file, accepts it and lists the same bytes.
TEST_F(FormatDefDlgTest, LinesInUtf8AndWindows1252RoundTripThroughKwlList) {
    m_tree.AddFile("x/sub/c.txt", 3);
    m_tree.AddFile("x/a.txt", 1);
    const std::string strDir = m_tree.Path("x");
    WriteFormats("1\nD-[D ]-name\nname|[Z\xE4hler]-size\nname|[Gr\xC3\xB6sse]-size\n");
    MainDlgPtr pMain = ShowMainDialog();
    wxTEST_DIALOG(Click(pMain.get(), IDC_DEFINE_FORMAT),
                  wxExpectModal<CFormatDefDlg>([](CFormatDefDlg* pDlg) {
                      AddName(pDlg);
                      AddText(pDlg, "\xC3\x9C" "ber", {IDC_FD_TEXT_DIR, IDC_FD_TEXT_FILE},
                              IDC_FD_ADD_TEXT_BEFORE);
                      AddRow(pDlg, {IDC_FD_SIZE_DIR, IDC_FD_SIZE_FILE}, IDC_FD_ADD_SIZE);
                  }));
    const std::vector<std::string> lines = {"name|[Z\xC3\xA4hler]-size",
                                            "name|[Gr\xC3\xB6sse]-size",
                                            "name|[\xC3\x9C" "ber]-size"};
    ASSERT_EQ(pMain->FormatLines(), (std::vector<std::string>{"D-[D ]-name", lines[0], lines[1],
                                                              lines[2]}));
    EXPECT_TRUE(ReadFormats().ends_with("\nname|[\xC3\x9C" "ber]-size\n")); // written in UTF-8
    auto* pCombo = dynamic_cast<wxComboBox*>(pMain->FindWindow(IDC_FORMATS));
    wxTEST_DIALOG(Click(pMain.get(), IDC_SELECT_DIRECTORY),
                  wxExpectModal<wxDirDialog>(ToWx(strDir)));
    // The lines as the file holds them, each in its own encoding.
    std::vector<std::string> stored;
    const std::string strFile = ReadFormats();
    for (std::size_t nPos = strFile.find('\n') + 1; nPos < strFile.size();) {
        const std::size_t nEnd = strFile.find('\n', nPos);
        stored.push_back(strFile.substr(nPos, nEnd - nPos));
        nPos = nEnd + 1;
    }
    ASSERT_EQ(stored.size(), 4u);
    EXPECT_EQ(stored[1], "name|[Z\xE4hler]-size");
    for (int nEntry = 1; nEntry <= 3; ++nEntry) {
        const std::string& strLine = lines[static_cast<std::size_t>(nEntry - 1)];
        SCOPED_TRACE(strLine);
        EXPECT_EQ(pCombo->GetString(static_cast<unsigned>(nEntry)), ToWx(strLine));
        ChooseEntry(pMain.get(), IDC_FORMATS, nEntry);
        EXPECT_EQ(pMain->SelectedFormat(), strLine);
        Click(pMain.get(), IDC_COMPUTE_LIST);
        const SKwlListResult listed =
            RunKwlList({"-f", stored[static_cast<std::size_t>(nEntry)], strDir});
        EXPECT_EQ(listed.nStatus, 0) << listed.strErr;
        EXPECT_EQ(listed.strOut, pMain->ListingText());
    }
}

} // namespace
