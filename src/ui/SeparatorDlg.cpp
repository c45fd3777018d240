#include "ui/SeparatorDlg.h"

#include <wx/textctrl.h>

#include "dialogs/DialogTexts.h"
#include "ui/WxText.h"

CSeparatorDlg::CSeparatorDlg(wxWindow* pParent, const CLanguage& language)
    : CTemplateDialog(pParent, ToWx(DialogCaption(kSeparatorDlgTemplate, language)),
                      kSeparatorDlgTemplate),
      m_controller(*this, language) {
    SetAffirmativeId(IDC_SEPARATOR_OK);
    SetEscapeId(IDC_SEPARATOR_CANCEL);
    auto* pEdit = ControlAs<wxTextCtrl>(IDC_SEPARATOR);
    // The toolkit counts characters, not bytes: "é" or "€" fills the field as ";" does.
    pEdit->SetMaxLength(kSeparatorMaxChars);
    pEdit->Bind(wxEVT_TEXT, [this](wxCommandEvent&) { m_controller.OnChange(); });
    m_controller.Start();
    Control(IDC_SEPARATOR_OK)->SetFocus(); // Enter exports with ";" at once
}

bool CSeparatorDlg::TransferDataFromWindow() {
    return m_controller.CanAccept();
}
