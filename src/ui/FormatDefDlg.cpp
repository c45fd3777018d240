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

CFormatDefDlg::CFormatDefDlg(wxWindow* pParent, const CLanguage& language,
                             const CFileInformation& sampleFile, const CDirInformation& sampleDir)
    : CTemplateDialog(pParent, ToWx(language.GetText(kTextDefineCaption)), kFormatDefDlgTemplate),
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
    WidenToFit({IDC_FD_HEADING}, kFormatDefDlgTemplate.cx - 7);
    WidenToFit({IDC_FD_DIR_HEADING}, 69 - kGap);       // the file column's heading
    WidenToFit({IDC_FD_FORMAT_LABEL}, 36 - kGap);      // the format line
    WidenToFit({IDC_FD_LABEL_SAMPLE_FILE}, 98 - kGap); // the samples
    WidenToFit({IDC_FD_LABEL_SAMPLE_DIR}, 98 - kGap);
    WidenToFit(kTextButtons, 256 - kGap); // the text field
    // Inside the row frames, as far from their right edge as from the file column.
    WidenToFit(FieldAddButtonIds(), kFormatDefDlgTemplate.cx - 7 - 6);
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
