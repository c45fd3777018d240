#include "ui/FormatDefDlg.h"

#include "dialogs/DialogTexts.h"
#include "lang/Language.h"
#include "ui/WxText.h"

CFormatDefDlg::CFormatDefDlg(wxWindow* pParent, const CLanguage& language,
                             const CFileInformation& sampleFile, const CDirInformation& sampleDir)
    : CTemplateDialog(pParent, ToWx(DialogCaption(kFormatDefDlgTemplate, language)),
                      kFormatDefDlgTemplate),
      m_controller(*this, language, sampleFile, sampleDir) {
    SetAffirmativeId(IDC_FD_OK);
    SetEscapeId(IDC_FD_CANCEL);

    for (std::size_t k = 0; k < kFieldRows.size(); ++k) {
        const SFieldRow& row = kFieldRows[k];
        Control(row.nAddButton)->Bind(wxEVT_BUTTON, [this, k](wxCommandEvent&) {
            m_controller.OnAddField(k);
        });
        for (int nBox : {row.nDirBox, row.nFileBox}) {
            if (nBox != kNoBox)
                Control(nBox)->Bind(wxEVT_CHECKBOX,
                                    [this, k](wxCommandEvent&) { m_controller.OnRowCheck(k); });
        }
    }
    for (int nBox : kTextBoxes)
        Control(nBox)->Bind(wxEVT_CHECKBOX,
                            [this](wxCommandEvent&) { m_controller.OnTextChanged(); });
    Control(IDC_FD_TEXT)->Bind(wxEVT_TEXT, [this](wxCommandEvent&) {
        m_controller.OnTextChanged();
    });
    Control(IDC_FD_ADD_TEXT_BEFORE)->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) {
        m_controller.OnAddTextBefore();
    });
    Control(IDC_FD_ADD_TEXT)->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) {
        m_controller.OnAddText();
    });
    Control(IDC_FD_CLEAR)->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { m_controller.OnClear(); });

    m_controller.Start();
    CentreOnParent();
    Control(IDC_FD_NAME_DIR)->SetFocus();
}

void CFormatDefDlg::FitTexts() {
    constexpr int kGap = 1;
    const int nWidthDlu = kFormatDefDlgTemplate.cx;
    WidenToFit({IDC_FD_HEADING}, nWidthDlu - 7);
    WidenToFit({IDC_FD_DIR_HEADING}, 69 - kGap);       // the file column's heading
    WidenToFit({IDC_FD_FORMAT_LABEL}, 36 - kGap);      // the format line
    WidenToFit({IDC_FD_LABEL_SAMPLE_FILE}, 98 - kGap); // the samples
    WidenToFit({IDC_FD_LABEL_SAMPLE_DIR}, 98 - kGap);
    WidenToFit(kTextButtons, 256 - kGap); // the text field
    // Inside the row frames, as far from their right edge as from the file column.
    WidenToFit(FieldAddButtonIds(), nWidthDlu - 7 - 6);
}
