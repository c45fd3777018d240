#include "winui/SeparatorWindow.h"

CSeparatorWindow::CSeparatorWindow(const CLanguage& language)
    : CDialogView<IDialogView>(kSeparatorDlgTemplate), m_controller(*this, language) {}

void CSeparatorWindow::OnInit() {
    m_controller.Start();
}

void CSeparatorWindow::OnCommand(int nId, int nCode) {
    switch (nId) {
    case IDC_SEPARATOR:
        if (nCode == EN_CHANGE)
            m_controller.OnChange();
        break;
    case IDC_SEPARATOR_OK: // also Enter
        if (m_controller.CanAccept())
            End(IDC_SEPARATOR_OK);
        break;
    case IDC_SEPARATOR_CANCEL: // also Esc and the close box
        End(IDC_SEPARATOR_CANCEL);
        break;
    default:
        break;
    }
}
