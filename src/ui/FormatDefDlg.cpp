#include "ui/FormatDefDlg.h"

#include <wx/checkbox.h>
#include <wx/msgdlg.h>
#include <wx/textctrl.h>

#include <array>

#include "format/KWLFormat.h"
#include "model/KWLItem.h"
#include "lang/DialogText.h"
#include "lang/Language.h"
#include "lang/TextId.h"
#include "ui/WxText.h"

namespace {

constexpr int kWidthDlu = 348;
constexpr int kHeightDlu = 333;
constexpr int kNoBox = 0;

// A row frame of the grid; the frames overlap so that their edges draw the grid lines.
constexpr SControlTemplate RowFrame(int nRow) {
    return {wxID_STATIC, EControlKind::GroupBox, kNoText, "", 7, 29 + 16 * nRow, 334, 21, 0};
}

constexpr SControlTemplate AddButton(int nId, ETextId eText, int y) {
    return {nId, EControlKind::LeftButton, eText, nullptr, 108, y, 142, 13, kTabStop};
}

constexpr SControlTemplate Box(int nId, int x, int y) {
    return {nId, EControlKind::CheckBox, kNoText, "", x, y, 16, 8, kTabStop};
}

// Template order is tab order.
constexpr std::array<SControlTemplate, 56> kLayout = {{
    Box(IDC_FD_NAME_DIR, 26, 38),
    Box(IDC_FD_NAME_FILE, 73, 38),
    Box(IDC_FD_SIZE_DIR, 26, 54),
    Box(IDC_FD_SIZE_FILE, 73, 54),
    Box(IDC_FD_CRTIME_DIR, 26, 70),
    Box(IDC_FD_CRTIME_FILE, 73, 70),
    Box(IDC_FD_ACCTIME_FILE, 73, 86),
    Box(IDC_FD_MODTIME_FILE, 73, 102),
    Box(IDC_FD_ARCH_FILE, 73, 118),
    Box(IDC_FD_HID_FILE, 73, 134),
    Box(IDC_FD_SYS_FILE, 73, 150),
    Box(IDC_FD_COMPR_FILE, 73, 166),
    Box(IDC_FD_RO_FILE, 73, 183),
    Box(IDC_FD_FILES_DIR, 26, 198),
    Box(IDC_FD_TEXT_DIR, 25, 214),
    Box(IDC_FD_TEXT_FILE, 73, 214),
    {IDC_FD_TEXT, EControlKind::Edit, kNoText, "", 256, 211, 80, 12, kTabStop},
    {IDC_FD_CANCEL, EControlKind::PushButton, kTextCancel, nullptr, 7, 312, 50, 14, kTabStop},
    {IDC_FD_CLEAR, EControlKind::PushButton, kTextClear, nullptr, 235, 312, 50, 14, kTabStop},
    {IDC_FD_OK, EControlKind::DefaultButton, kTextOk, nullptr, 291, 312, 50, 14, kTabStop},
    {IDC_FD_LABEL_SAMPLE_FILE, EControlKind::Label, kTextSampleFile, nullptr, 7, 277, 65, 8, 0},
    {IDC_FD_LABEL_SAMPLE_DIR, EControlKind::Label, kTextSampleDirectory, nullptr, 7, 290, 84, 8, 0},
    {IDC_FD_FORMAT_LABEL, EControlKind::Label, kTextFormatLabel, nullptr, 7, 256, 24, 8, 0},
    {IDC_FD_FORMAT, EControlKind::ReadOnlyEdit, kNoText, "", 36, 253, 305, 14, kTabStop},
    {IDC_FD_HEADING, EControlKind::Label, kTextAvailableInfo, nullptr, 7, 7, 265, 8, 0},
    {wxID_STATIC, EControlKind::GroupBox, kNoText, "", 7, 29, 48, 213, 0},  // directory column
    {wxID_STATIC, EControlKind::GroupBox, kNoText, "", 54, 29, 48, 213, 0}, // file column
    RowFrame(0),
    RowFrame(1),
    RowFrame(2),
    RowFrame(3),
    RowFrame(4),
    RowFrame(5),
    RowFrame(6),
    RowFrame(7),
    RowFrame(8),
    RowFrame(9),
    RowFrame(10),
    {IDC_FD_DIR_HEADING, EControlKind::Label, kTextDirectory, nullptr, 12, 24, 37, 8, 0},
    {IDC_FD_FILE_HEADING, EControlKind::Label, kTextFile, nullptr, 69, 24, 18, 8, 0},
    {wxID_STATIC, EControlKind::GroupBox, kNoText, "", 7, 205, 334, 37, 0}, // text row
    AddButton(IDC_FD_ADD_NAME, kTextAddName, 35),
    AddButton(IDC_FD_ADD_SIZE, kTextAddSize, 51),
    AddButton(IDC_FD_ADD_CRTIME, kTextAddCreation, 67),
    AddButton(IDC_FD_ADD_ACCTIME, kTextAddAccess, 83),
    AddButton(IDC_FD_ADD_MODTIME, kTextAddModification, 99),
    AddButton(IDC_FD_ADD_ARCH, kTextAddArchive, 115),
    AddButton(IDC_FD_ADD_HID, kTextAddHidden, 131),
    AddButton(IDC_FD_ADD_SYS, kTextAddSystem, 147),
    AddButton(IDC_FD_ADD_COMPR, kTextAddCompression, 163),
    AddButton(IDC_FD_ADD_RO, kTextAddReadOnly, 179),
    AddButton(IDC_FD_ADD_FILES, kTextAddFileCount, 195),
    AddButton(IDC_FD_ADD_TEXT_BEFORE, kTextAddTextBefore, 211),
    AddButton(IDC_FD_ADD_TEXT, kTextAddText, 226),
    {IDC_FD_SAMPLE_FILE, EControlKind::ReadOnlyEdit, kNoText, "", 98, 275, 243, 12, kTabStop},
    {IDC_FD_SAMPLE_DIR, EControlKind::ReadOnlyEdit, kNoText, "", 98, 288, 243, 12, kTabStop},
}};

// Which boxes a row has follows the kinds for which rendering defines the keyword, so a line
// built here never holds a keyword that a kind cannot render.
constexpr std::array<SFieldRow, 11> kFieldRows = {{
    {"name", IDC_FD_NAME_DIR, IDC_FD_NAME_FILE, IDC_FD_ADD_NAME},
    {"size", IDC_FD_SIZE_DIR, IDC_FD_SIZE_FILE, IDC_FD_ADD_SIZE},
    {"crTime", IDC_FD_CRTIME_DIR, IDC_FD_CRTIME_FILE, IDC_FD_ADD_CRTIME},
    {"accTime", kNoBox, IDC_FD_ACCTIME_FILE, IDC_FD_ADD_ACCTIME},
    {"modTime", kNoBox, IDC_FD_MODTIME_FILE, IDC_FD_ADD_MODTIME},
    {"arch", kNoBox, IDC_FD_ARCH_FILE, IDC_FD_ADD_ARCH},
    {"hid", kNoBox, IDC_FD_HID_FILE, IDC_FD_ADD_HID},
    {"sys", kNoBox, IDC_FD_SYS_FILE, IDC_FD_ADD_SYS},
    {"compr", kNoBox, IDC_FD_COMPR_FILE, IDC_FD_ADD_COMPR},
    {"ro", kNoBox, IDC_FD_RO_FILE, IDC_FD_ADD_RO},
    {"files", IDC_FD_FILES_DIR, kNoBox, IDC_FD_ADD_FILES},
}};

constexpr std::array<int, 2> kTextButtons = {IDC_FD_ADD_TEXT_BEFORE, IDC_FD_ADD_TEXT};
constexpr std::array<int, 2> kTextBoxes = {IDC_FD_TEXT_DIR, IDC_FD_TEXT_FILE};

} // namespace

CFormatDefDlg::CFormatDefDlg(wxWindow* pParent, const CLanguage& language, CKWLFormat& format,
                             const CFileInformation& sampleFile, const CDirInformation& sampleDir)
    : CTemplateDialog(pParent, ToWx(language.GetText(kTextDefineCaption)), kWidthDlu, kHeightDlu,
                      kLayout),
      m_language(language), m_format(format), m_sampleFile(sampleFile), m_sampleDir(sampleDir) {
    SetAffirmativeId(IDC_FD_OK);
    SetEscapeId(IDC_FD_CANCEL);

    for (const SFieldRow& row : kFieldRows) {
        Control(row.nAddButton)->Bind(wxEVT_BUTTON, [this, &row](wxCommandEvent&) {
            AddField(row);
        });
        for (int nBox : {row.nDirBox, row.nFileBox}) {
            if (nBox != kNoBox)
                Control(nBox)->Bind(wxEVT_CHECKBOX,
                                    [this, &row](wxCommandEvent&) { OnRowCheck(row); });
        }
    }
    for (int nBox : kTextBoxes)
        Control(nBox)->Bind(wxEVT_CHECKBOX, [this](wxCommandEvent&) { OnTextChanged(); });
    Control(IDC_FD_TEXT)->Bind(wxEVT_TEXT, [this](wxCommandEvent&) { OnTextChanged(); });
    Control(IDC_FD_ADD_TEXT_BEFORE)->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) {
        AddText(&CFormatLineBuilder::AddTextBefore);
    });
    Control(IDC_FD_ADD_TEXT)->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) {
        AddText(&CFormatLineBuilder::AddText);
    });
    Control(IDC_FD_CLEAR)->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnClear(); });

    OnClear();
    ApplyTexts(language);
    FitLongTexts();
    CentreOnParent();
    Control(IDC_FD_NAME_DIR)->SetFocus();
}

// Longer texts (German) grow into room that the template leaves free, never under the
// control to their right.
void CFormatDefDlg::FitLongTexts() {
    constexpr int kGap = 1;
    WidenToFit({IDC_FD_HEADING}, kWidthDlu - 7);
    WidenToFit({IDC_FD_DIR_HEADING}, 69 - kGap);       // the file column's heading
    WidenToFit({IDC_FD_FORMAT_LABEL}, 36 - kGap);      // the format line
    WidenToFit({IDC_FD_LABEL_SAMPLE_FILE}, 98 - kGap); // the samples
    WidenToFit({IDC_FD_LABEL_SAMPLE_DIR}, 98 - kGap);
    WidenToFit({IDC_FD_ADD_TEXT_BEFORE, IDC_FD_ADD_TEXT}, 256 - kGap); // the text field
    // Inside the row frames, as far from their right edge as from the file column.
    WidenToFit({IDC_FD_ADD_NAME, IDC_FD_ADD_SIZE, IDC_FD_ADD_CRTIME, IDC_FD_ADD_ACCTIME,
                IDC_FD_ADD_MODTIME, IDC_FD_ADD_ARCH, IDC_FD_ADD_HID, IDC_FD_ADD_SYS,
                IDC_FD_ADD_COMPR, IDC_FD_ADD_RO, IDC_FD_ADD_FILES},
               kWidthDlu - 7 - 6);
}

// Back to the start state; also after a preview that failed.
void CFormatDefDlg::OnClear() {
    SetControlText(IDC_FD_SAMPLE_FILE, wxString());
    SetControlText(IDC_FD_SAMPLE_DIR, wxString());
    EmptyTextField();
    m_line.Clear();
    ShowLine();
    // All sixteen check boxes usable again; the add buttons are the left-aligned ones.
    for (const SControlTemplate& row : Template()) {
        if (row.eKind == EControlKind::CheckBox) {
            Tick(row.nId, false);
            EnableControl(row.nId, true);
        } else if (row.eKind == EControlKind::LeftButton) {
            EnableControl(row.nId, false);
        }
    }
    EnableControl(IDC_FD_OK, false);
    EnableControl(IDC_FD_CLEAR, false);
}

void CFormatDefDlg::OnRowCheck(const SFieldRow& row) {
    EnableControl(row.nAddButton, IsTicked(row.nDirBox) || IsTicked(row.nFileBox));
}

// Each information enters the line at most once per kind until the next reset.
void CFormatDefDlg::AddField(const SFieldRow& row) {
    m_line.AddField(row.pszKeyword, IsTicked(row.nDirBox), IsTicked(row.nFileBox));
    ShowLine();
    for (int nBox : {row.nDirBox, row.nFileBox}) {
        if (IsTicked(nBox)) {
            Tick(nBox, false);
            EnableControl(nBox, false);
        }
    }
    EnableControl(row.nAddButton, false);
    UpdatePreview();
}

// A change that brings a character the format language cannot hold is taken back.
void CFormatDefDlg::OnTextChanged() {
    const std::string strText = TextField();
    if (IsAllowedText(strText)) {
        m_strLastValidText = strText;
    } else {
        wxMessageBox(ToWx(m_language.GetText(kTextOnlyCharacters)) + ToWx(kAllowedCharacters),
                     kAppName, wxOK, this);
        SetTextField(m_strLastValidText);
    }
    const bool bBoxTicked = IsTicked(IDC_FD_TEXT_DIR) || IsTicked(IDC_FD_TEXT_FILE);
    for (int nButton : kTextButtons)
        EnableControl(nButton, !m_strLastValidText.empty() && bBoxTicked);
}

// The text boxes stay enabled: text can be added any number of times.
void CFormatDefDlg::AddText(void (CFormatLineBuilder::*pfnAdd)(std::string_view, bool, bool)) {
    (m_line.*pfnAdd)(TextField(), IsTicked(IDC_FD_TEXT_DIR), IsTicked(IDC_FD_TEXT_FILE));
    ShowLine();
    for (int nBox : kTextBoxes)
        Tick(nBox, false);
    EmptyTextField();
    UpdatePreview();
}

// Validating compiles the line into the engine, which the samples are then rendered by.
void CFormatDefDlg::UpdatePreview() {
    if (!m_format.Validate(m_line.Line())) {
        OnClear();
        wxMessageBox(ToWx(m_language.GetText(kTextFormatInvalid)), kAppName, wxOK, this);
        return;
    }
    const std::string strFile = SampleLine(m_format.Render(&m_sampleFile, 0));
    const std::string strDir = SampleLine(m_format.Render(&m_sampleDir, 0));
    SetControlText(IDC_FD_SAMPLE_FILE, ToWx(strFile));
    SetControlText(IDC_FD_SAMPLE_DIR, ToWx(strDir));
    // A line that shows nothing for one kind would list empty lines.
    EnableControl(IDC_FD_OK, !strFile.empty() && !strDir.empty());
}

// Nothing disables Clear but the reset.
void CFormatDefDlg::ShowLine() {
    auto* pFormat = ControlAs<wxTextCtrl>(IDC_FD_FORMAT);
    pFormat->ChangeValue(ToWx(m_line.Line()));
    pFormat->SetInsertionPointEnd(); // the newest element in view
    if (!m_line.Line().empty())
        EnableControl(IDC_FD_CLEAR, true);
}

// A box that the row does not have counts as unticked.
bool CFormatDefDlg::IsTicked(int nId) const {
    return nId != kNoBox && ControlAs<wxCheckBox>(nId)->GetValue();
}

void CFormatDefDlg::Tick(int nId, bool bTicked) const {
    ControlAs<wxCheckBox>(nId)->SetValue(bTicked);
}

std::string CFormatDefDlg::TextField() const {
    return FromWx(ControlAs<wxTextCtrl>(IDC_FD_TEXT)->GetValue());
}

void CFormatDefDlg::SetTextField(const std::string& strText) {
    auto* pText = ControlAs<wxTextCtrl>(IDC_FD_TEXT);
    pText->ChangeValue(ToWx(strText));
    pText->SetInsertionPointEnd();
}

// Runs the check as a change of the field does: the text buttons follow the empty field.
void CFormatDefDlg::EmptyTextField() {
    SetTextField(std::string());
    OnTextChanged();
}
