#include "ui/FormatDefDlg.h"

#include <wx/checkbox.h>
#include <wx/msgdlg.h>
#include <wx/textctrl.h>

#include <algorithm>
#include <array>

#include "format/FormatLanguage.h"
#include "lang/AccessibleTexts.h"
#include "model/KWLItem.h"
#include "lang/DialogText.h"
#include "lang/Language.h"
#include "lang/TextId.h"
#include "lang/TextRow.h"
#include "ui/WxText.h"

namespace {

constexpr int kWidthDlu = 348;
constexpr int kHeightDlu = 333;

// The grid: one row per field keyword, then the text row. The frames overlap so that their
// edges draw the grid lines.
constexpr int kGridTop = 29;
constexpr int kRowPitch = 16;
constexpr int kRowFrameHeight = 21;
constexpr int kTextRowFrameHeight = 37; // two add buttons
constexpr int kBoxBelowRowTop = 9;
constexpr int kButtonBelowRowTop = 6;
constexpr int kDirBoxX = 26;
constexpr int kFileBoxX = 73;

// One row per entry of the keyword table, in its order: the row adds that keyword. Which boxes
// a row has follows the kinds for which rendering defines the keyword, so a line built here
// never holds a keyword that a kind cannot render.
constexpr auto kFieldRows = std::to_array<SFieldRow>({
    {IDC_FD_NAME_DIR, IDC_FD_NAME_FILE, IDC_FD_ADD_NAME, kTextAddName},
    {IDC_FD_SIZE_DIR, IDC_FD_SIZE_FILE, IDC_FD_ADD_SIZE, kTextAddSize},
    {IDC_FD_CRTIME_DIR, IDC_FD_CRTIME_FILE, IDC_FD_ADD_CRTIME, kTextAddCreation},
    {kNoBox, IDC_FD_ACCTIME_FILE, IDC_FD_ADD_ACCTIME, kTextAddAccess},
    {kNoBox, IDC_FD_MODTIME_FILE, IDC_FD_ADD_MODTIME, kTextAddModification},
    {kNoBox, IDC_FD_ARCH_FILE, IDC_FD_ADD_ARCH, kTextAddArchive},
    {kNoBox, IDC_FD_HID_FILE, IDC_FD_ADD_HID, kTextAddHidden},
    {kNoBox, IDC_FD_SYS_FILE, IDC_FD_ADD_SYS, kTextAddSystem},
    {kNoBox, IDC_FD_COMPR_FILE, IDC_FD_ADD_COMPR, kTextAddCompression},
    {kNoBox, IDC_FD_RO_FILE, IDC_FD_ADD_RO, kTextAddReadOnly, 1}, // has always sat lower
    {IDC_FD_FILES_DIR, kNoBox, IDC_FD_ADD_FILES, kTextAddFileCount},
});

consteval bool RowsFollowTheKeywords() {
    if (kFieldRows.size() != kFieldKeywords.size())
        return false;
    for (std::size_t k = 0; k < kFieldRows.size(); ++k) {
        if ((kFieldRows[k].nDirBox != kNoBox) != kFieldKeywords[k].bForDirs ||
            (kFieldRows[k].nFileBox != kNoBox) != kFieldKeywords[k].bForFiles)
            return false;
    }
    return true;
}
static_assert(RowsFollowTheKeywords());

constexpr int RowTop(std::size_t nRow) {
    return kGridTop + kRowPitch * static_cast<int>(nRow);
}
constexpr int kTextRowTop = RowTop(kFieldRows.size());
constexpr int kGridHeight = kTextRowTop + kTextRowFrameHeight - kGridTop;

constexpr SControlTemplate Frame(int x, int y, int cx, int cy) {
    return {wxID_STATIC, EControlKind::GroupBox, kNoText, "", x, y, cx, cy, 0};
}

constexpr SControlTemplate AddButton(int nId, ETextId eText, int y) {
    return {nId, EControlKind::LeftButton, eText, nullptr, 108, y, 142, 13, kTabStop};
}

constexpr SControlTemplate Box(int nId, int x, int y) {
    return {nId, EControlKind::CheckBox, kNoText, "", x, y, 16, 8, kTabStop};
}

constexpr std::size_t CountFieldBoxes() {
    std::size_t n = 0;
    for (const SFieldRow& row : kFieldRows)
        n += (row.nDirBox != kNoBox ? 1 : 0) + (row.nFileBox != kNoBox ? 1 : 0);
    return n;
}

constexpr std::array<SControlTemplate, CountFieldBoxes()> FieldBoxes() {
    std::array<SControlTemplate, CountFieldBoxes()> boxes{};
    std::size_t i = 0;
    for (std::size_t k = 0; k < kFieldRows.size(); ++k) {
        const SFieldRow& row = kFieldRows[k];
        const int y = RowTop(k) + kBoxBelowRowTop + row.nBoxLower;
        if (row.nDirBox != kNoBox)
            boxes[i++] = Box(row.nDirBox, kDirBoxX, y);
        if (row.nFileBox != kNoBox)
            boxes[i++] = Box(row.nFileBox, kFileBoxX, y);
    }
    return boxes;
}

constexpr std::array<SControlTemplate, kFieldRows.size()> FieldRowFrames() {
    std::array<SControlTemplate, kFieldRows.size()> frames{};
    for (std::size_t k = 0; k < kFieldRows.size(); ++k)
        frames[k] = Frame(7, RowTop(k), 334, kRowFrameHeight);
    return frames;
}

constexpr std::array<SControlTemplate, kFieldRows.size()> FieldAddButtons() {
    std::array<SControlTemplate, kFieldRows.size()> buttons{};
    for (std::size_t k = 0; k < kFieldRows.size(); ++k)
        buttons[k] = AddButton(kFieldRows[k].nAddButton, kFieldRows[k].eAddText,
                               RowTop(k) + kButtonBelowRowTop);
    return buttons;
}

template <std::size_t... N>
constexpr std::array<SControlTemplate, (N + ...)>
Join(const std::array<SControlTemplate, N>&... parts) {
    std::array<SControlTemplate, (N + ...)> all{};
    auto it = all.begin();
    ((it = std::copy(parts.begin(), parts.end(), it)), ...);
    return all;
}

// Template order is tab order.
constexpr auto kLayout = Join(
    FieldBoxes(),
    std::to_array<SControlTemplate>({
        // The text row's directory box has always sat one unit left of the column.
        Box(IDC_FD_TEXT_DIR, kDirBoxX - 1, kTextRowTop + kBoxBelowRowTop),
        Box(IDC_FD_TEXT_FILE, kFileBoxX, kTextRowTop + kBoxBelowRowTop),
        {IDC_FD_TEXT, EControlKind::Edit, kNoText, "", 256, kTextRowTop + kButtonBelowRowTop, 80,
         12, kTabStop},
        {IDC_FD_CANCEL, EControlKind::PushButton, kTextCancel, nullptr, 7, 312, 50, 14, kTabStop},
        {IDC_FD_CLEAR, EControlKind::PushButton, kTextClear, nullptr, 235, 312, 50, 14, kTabStop},
        {IDC_FD_OK, EControlKind::DefaultButton, kTextOk, nullptr, 291, 312, 50, 14, kTabStop},
        {IDC_FD_LABEL_SAMPLE_FILE, EControlKind::Label, kTextSampleFile, nullptr, 7, 277, 65, 8, 0},
        {IDC_FD_LABEL_SAMPLE_DIR, EControlKind::Label, kTextSampleDirectory, nullptr, 7, 290, 84, 8,
         0},
        {IDC_FD_FORMAT_LABEL, EControlKind::Label, kTextFormatLabel, nullptr, 7, 256, 24, 8, 0},
        {IDC_FD_FORMAT, EControlKind::ReadOnlyEdit, kNoText, "", 36, 253, 305, 14, kTabStop},
        {IDC_FD_HEADING, EControlKind::Label, kTextAvailableInfo, nullptr, 7, 7, 265, 8, 0},
        Frame(7, kGridTop, 48, kGridHeight),  // directory column
        Frame(54, kGridTop, 48, kGridHeight), // file column
    }),
    FieldRowFrames(),
    std::to_array<SControlTemplate>({
        {IDC_FD_DIR_HEADING, EControlKind::Label, kTextDirectory, nullptr, 12, 24, 37, 8, 0},
        {IDC_FD_FILE_HEADING, EControlKind::Label, kTextFile, nullptr, 69, 24, 18, 8, 0},
        Frame(7, kTextRowTop, 334, kTextRowFrameHeight),
    }),
    FieldAddButtons(),
    std::to_array<SControlTemplate>({
        AddButton(IDC_FD_ADD_TEXT_BEFORE, kTextAddTextBefore, kTextRowTop + kButtonBelowRowTop),
        AddButton(IDC_FD_ADD_TEXT, kTextAddText, kTextRowTop + kButtonBelowRowTop + 15), // below
        {IDC_FD_SAMPLE_FILE, EControlKind::ReadOnlyEdit, kNoText, "", 98, 275, 243, 12, kTabStop},
        {IDC_FD_SAMPLE_DIR, EControlKind::ReadOnlyEdit, kNoText, "", 98, 288, 243, 12, kTabStop},
    }));

constexpr std::array<int, kFieldRows.size()> FieldAddButtonIds() {
    std::array<int, kFieldRows.size()> ids{};
    for (std::size_t k = 0; k < kFieldRows.size(); ++k)
        ids[k] = kFieldRows[k].nAddButton;
    return ids;
}

constexpr std::array<int, 2> kTextButtons = {IDC_FD_ADD_TEXT_BEFORE, IDC_FD_ADD_TEXT};
constexpr std::array<int, 2> kTextBoxes = {IDC_FD_TEXT_DIR, IDC_FD_TEXT_FILE};

} // namespace

CFormatDefDlg::CFormatDefDlg(wxWindow* pParent, const CLanguage& language,
                             const CFileInformation& sampleFile, const CDirInformation& sampleDir)
    : CTemplateDialog(pParent, ToWx(language.GetText(kTextDefineCaption)), kWidthDlu, kHeightDlu,
                      kLayout),
      m_language(language), m_sampleFile(sampleFile), m_sampleDir(sampleDir) {
    SetAffirmativeId(IDC_FD_OK);
    SetEscapeId(IDC_FD_CANCEL);

    for (std::size_t k = 0; k < kFieldRows.size(); ++k) {
        const SFieldRow& row = kFieldRows[k];
        const std::string_view strKeyword = kFieldKeywords[k].strKeyword;
        Control(row.nAddButton)->Bind(wxEVT_BUTTON, [this, strKeyword, &row](wxCommandEvent&) {
            AddField(strKeyword, row);
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
    NameControls();
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
    WidenToFit(kTextButtons, 256 - kGap); // the text field
    // Inside the row frames, as far from their right edge as from the file column.
    WidenToFit(FieldAddButtonIds(), kWidthDlu - 7 - 6);
}

// The check boxes, the text field, the format line and the samples carry no label of their
// own: each is named by its column heading and its row's button, or by the label beside it.
// The boxes also say what they do when the pointer rests on them.
void CFormatDefDlg::NameControls() {
    const ELanguage eLanguage = m_language.GetLanguage();
    const std::string strDirectory = m_language.GetText(kTextDirectory);
    const std::string strFile = m_language.GetText(kTextFile);
    const auto nameBox = [&](int nBox, const std::string& strColumn, EAccessibleText eTip,
                             ETextId eButton) {
        if (nBox == kNoBox)
            return;
        const std::string strButton = NameFromLabel(m_language.GetText(eButton));
        NameControl(nBox, NameBeside(strColumn, strButton));
        Control(nBox)->SetToolTip(ToWx(FillPattern(AccessibleText(eTip, eLanguage), {strButton})));
    };
    for (const SFieldRow& row : kFieldRows) {
        nameBox(row.nDirBox, strDirectory, EAccessibleText::DirBoxTip, row.eAddText);
        nameBox(row.nFileBox, strFile, EAccessibleText::FileBoxTip, row.eAddText);
    }
    nameBox(IDC_FD_TEXT_DIR, strDirectory, EAccessibleText::DirBoxTip, kTextAddText);
    nameBox(IDC_FD_TEXT_FILE, strFile, EAccessibleText::FileBoxTip, kTextAddText);
    NameControl(IDC_FD_TEXT, NameFromLabel(m_language.GetText(kTextAddText)));
    NameControl(IDC_FD_FORMAT, NameFromLabel(m_language.GetText(kTextFormatLabel)));
    NameControl(IDC_FD_SAMPLE_FILE, NameFromLabel(m_language.GetText(kTextSampleFile)));
    NameControl(IDC_FD_SAMPLE_DIR, NameFromLabel(m_language.GetText(kTextSampleDirectory)));
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
void CFormatDefDlg::AddField(std::string_view strKeyword, const SFieldRow& row) {
    m_line.AddField(strKeyword, IsTicked(row.nDirBox), IsTicked(row.nFileBox));
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

// Validating compiles the line into the preview's engine, which the samples are then rendered
// by. Its lines never hold a keyword that a kind does not define.
void CFormatDefDlg::UpdatePreview() {
    if (!m_preview.Validate(m_line.Line())) {
        OnClear();
        wxMessageBox(ToWx(m_language.GetText(kTextFormatInvalid)), kAppName, wxOK, this);
        return;
    }
    const std::string strFile = SampleLine(m_preview.Render(&m_sampleFile, 0).strText);
    const std::string strDir = SampleLine(m_preview.Render(&m_sampleDir, 0).strText);
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
