#include "winui/FormatDefWindow.h"

CFormatDefWindow::CFormatDefWindow(const CLanguage& language, const CFileInformation& sampleFile,
                                   const CDirInformation& sampleDir)
    : CDialogView<IDialogView>(kFormatDefDlgTemplate),
      m_controller(*this, language, sampleFile, sampleDir) {}

void CFormatDefWindow::OnInit() {
    m_controller.Start();
}

// A box or add button of the keyword grid: true when nId is one.
bool CFormatDefWindow::OnFieldRow(int nId) {
    for (std::size_t nRow = 0; nRow < kFieldRows.size(); ++nRow) {
        const SFieldRow& row = kFieldRows[nRow];
        if (nId == row.nAddButton) {
            m_controller.OnAddField(nRow);
            return true;
        }
        if (nId == row.nDirBox || nId == row.nFileBox) {
            m_controller.OnRowCheck(nRow);
            return true;
        }
    }
    return false;
}

void CFormatDefWindow::OnCommand(int nId, int nCode) {
    if (OnFieldRow(nId))
        return;
    switch (nId) {
    case IDC_FD_CLEAR:
        m_controller.OnClear();
        break;
    case IDC_FD_TEXT:
        if (nCode == EN_CHANGE)
            m_controller.OnTextChanged();
        break;
    case IDC_FD_TEXT_DIR:
    case IDC_FD_TEXT_FILE:
        m_controller.OnTextChanged();
        break;
    case IDC_FD_ADD_TEXT_BEFORE:
        m_controller.OnAddTextBefore();
        break;
    case IDC_FD_ADD_TEXT:
        m_controller.OnAddText();
        break;
    case IDC_FD_OK:
        End(IDC_FD_OK);
        break;
    case IDC_FD_CANCEL: // also Esc and the close box
        End(IDC_FD_CANCEL);
        break;
    default:
        break;
    }
}
