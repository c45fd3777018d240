#include "dialogs/FormatDefController.h"

#include "dialogs/DialogTexts.h"
#include "dialogs/DialogView.h"
#include "dialogs/FormatDefDlgTemplate.h"
#include "format/FormatLanguage.h"
#include "lang/AccessibleTexts.h"
#include "lang/DialogText.h"
#include "lang/Language.h"
#include "lang/TextRow.h"

CFormatDefController::CFormatDefController(IDialogView& view, const CLanguage& language,
                                           const CFileInformation& sampleFile,
                                           const CDirInformation& sampleDir)
    : m_view(view), m_language(language), m_sampleFile(sampleFile), m_sampleDir(sampleDir) {}

void CFormatDefController::Start() {
    OnClear();
    ApplyTemplateTexts(m_view, kFormatDefDlgTemplate, m_language);
    NameControls();
    m_view.FitTexts();
}

// The check boxes, the text field, the format line and the samples carry no label of their
// own: each is named by its column heading and its row's button, or by the label beside it.
// The boxes also say what they do when the pointer rests on them.
void CFormatDefController::NameControls() {
    const ELanguage eLanguage = m_language.GetLanguage();
    const std::string strDirectory = m_language.GetText(kTextDirectory);
    const std::string strFile = m_language.GetText(kTextFile);
    const auto nameBox = [&](int nBox, const std::string& strColumn, EAccessibleText eTip,
                             ETextId eButton) {
        if (nBox == kNoBox)
            return;
        const std::string strButton = NameFromLabel(m_language.GetText(eButton));
        m_view.SetAccessibleName(nBox, NameBeside(strColumn, strButton));
        m_view.SetTip(nBox, FillPattern(AccessibleText(eTip, eLanguage), {strButton}));
    };
    for (const SFieldRow& row : kFieldRows) {
        nameBox(row.nDirBox, strDirectory, EAccessibleText::DirBoxTip, row.eAddText);
        nameBox(row.nFileBox, strFile, EAccessibleText::FileBoxTip, row.eAddText);
    }
    nameBox(IDC_FD_TEXT_DIR, strDirectory, EAccessibleText::DirBoxTip, kTextAddText);
    nameBox(IDC_FD_TEXT_FILE, strFile, EAccessibleText::FileBoxTip, kTextAddText);
    m_view.SetAccessibleName(IDC_FD_TEXT, NameFromLabel(m_language.GetText(kTextAddText)));
    m_view.SetAccessibleName(IDC_FD_FORMAT, NameFromLabel(m_language.GetText(kTextFormatLabel)));
    m_view.SetAccessibleName(IDC_FD_SAMPLE_FILE,
                             NameFromLabel(m_language.GetText(kTextSampleFile)));
    m_view.SetAccessibleName(IDC_FD_SAMPLE_DIR,
                             NameFromLabel(m_language.GetText(kTextSampleDirectory)));
}

// Back to the start state; also after a preview that failed.
void CFormatDefController::OnClear() {
    m_view.SetText(IDC_FD_SAMPLE_FILE, std::string());
    m_view.SetText(IDC_FD_SAMPLE_DIR, std::string());
    EmptyTextField();
    m_line.Clear();
    ShowLine();
    // All sixteen check boxes usable again; the add buttons are the left-aligned ones.
    for (const SControlTemplate& row : kFormatDefDlgTemplate.controls) {
        if (row.eKind == EControlKind::CheckBox) {
            m_view.SetChecked(row.nId, false);
            m_view.Enable(row.nId, true);
        } else if (row.eKind == EControlKind::LeftButton) {
            m_view.Enable(row.nId, false);
        }
    }
    m_view.Enable(IDC_FD_OK, false);
    m_view.Enable(IDC_FD_CLEAR, false);
}

void CFormatDefController::OnRowCheck(std::size_t nRow) {
    const SFieldRow& row = kFieldRows[nRow];
    m_view.Enable(row.nAddButton, IsTicked(row.nDirBox) || IsTicked(row.nFileBox));
}

// Each information enters the line at most once per kind until the next reset.
void CFormatDefController::OnAddField(std::size_t nRow) {
    const SFieldRow& row = kFieldRows[nRow];
    m_line.AddField(kFieldKeywords[nRow].strKeyword, IsTicked(row.nDirBox), IsTicked(row.nFileBox));
    ShowLine();
    for (int nBox : {row.nDirBox, row.nFileBox}) {
        if (IsTicked(nBox)) {
            m_view.SetChecked(nBox, false);
            m_view.Enable(nBox, false);
        }
    }
    m_view.Enable(row.nAddButton, false);
    UpdatePreview();
}

// A change that brings a character the format language cannot hold is taken back.
void CFormatDefController::OnTextChanged() {
    const std::string strText = m_view.GetText(IDC_FD_TEXT);
    if (IsAllowedText(strText)) {
        m_strLastValidText = strText;
    } else {
        m_view.ShowMessage(m_language.GetText(kTextOnlyCharacters) +
                               std::string(kAllowedCharacters),
                           EMessageIcon::None);
        SetTextField(m_strLastValidText);
    }
    const bool bBoxTicked = IsTicked(IDC_FD_TEXT_DIR) || IsTicked(IDC_FD_TEXT_FILE);
    for (int nButton : kTextButtons)
        m_view.Enable(nButton, !m_strLastValidText.empty() && bBoxTicked);
}

void CFormatDefController::OnAddTextBefore() {
    AddText(&CFormatLineBuilder::AddTextBefore);
}

void CFormatDefController::OnAddText() {
    AddText(&CFormatLineBuilder::AddText);
}

// The text boxes stay enabled: text can be added any number of times.
void CFormatDefController::AddText(void (CFormatLineBuilder::*pfnAdd)(std::string_view, bool,
                                                                      bool)) {
    (m_line.*pfnAdd)(m_view.GetText(IDC_FD_TEXT), IsTicked(IDC_FD_TEXT_DIR),
                     IsTicked(IDC_FD_TEXT_FILE));
    ShowLine();
    for (int nBox : kTextBoxes)
        m_view.SetChecked(nBox, false);
    EmptyTextField();
    UpdatePreview();
}

// Validating compiles the line into the preview's engine, which the samples are then rendered
// by. Its lines never hold a keyword that a kind does not define.
void CFormatDefController::UpdatePreview() {
    if (!m_preview.Validate(m_line.Line())) {
        OnClear();
        m_view.ShowMessage(m_language.GetText(kTextFormatInvalid), EMessageIcon::None);
        return;
    }
    const std::string strFile = SampleLine(m_preview.Render(&m_sampleFile, 0).strText);
    const std::string strDir = SampleLine(m_preview.Render(&m_sampleDir, 0).strText);
    m_view.SetText(IDC_FD_SAMPLE_FILE, strFile);
    m_view.SetText(IDC_FD_SAMPLE_DIR, strDir);
    // A line that shows nothing for one kind would list empty lines.
    m_view.Enable(IDC_FD_OK, !strFile.empty() && !strDir.empty());
}

// Nothing disables Clear but the reset.
void CFormatDefController::ShowLine() {
    m_view.SetText(IDC_FD_FORMAT, m_line.Line());
    m_view.ShowTextEnd(IDC_FD_FORMAT); // the newest element in view
    if (!m_line.Line().empty())
        m_view.Enable(IDC_FD_CLEAR, true);
}

// A box that the row does not have counts as unticked.
bool CFormatDefController::IsTicked(int nId) const {
    return nId != kNoBox && m_view.IsChecked(nId);
}

void CFormatDefController::SetTextField(const std::string& strText) {
    m_view.SetText(IDC_FD_TEXT, strText);
    m_view.ShowTextEnd(IDC_FD_TEXT);
}

// Runs the check as a change of the field does: the text buttons follow the empty field.
void CFormatDefController::EmptyTextField() {
    SetTextField(std::string());
    OnTextChanged();
}
