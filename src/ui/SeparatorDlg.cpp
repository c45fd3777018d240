#include "ui/SeparatorDlg.h"

#include <wx/textctrl.h>

#include "lang/AccessibleTexts.h"
#include "output/TextExport.h"
#include "lang/Language.h"
#include "lang/TextId.h"
#include "ui/WxText.h"

CSeparatorDlg::CSeparatorDlg(wxWindow* pParent, const CLanguage& language)
    : CTemplateDialog(pParent, ToWx(language.GetText(kTextSeparatorCaption)), kSeparatorDlgTemplate) {
    ApplyTexts(language);
    NameControl(IDC_SEPARATOR, NameFromLabel(language.GetText(kTextSeparatorLabel)));
    SetAffirmativeId(IDC_SEPARATOR_OK);
    SetEscapeId(IDC_SEPARATOR_CANCEL);
    m_pEdit = ControlAs<wxTextCtrl>(IDC_SEPARATOR);
    // The toolkit counts characters, not bytes: "é" or "€" fills the field as ";" does.
    m_pEdit->SetMaxLength(1);
    m_pEdit->Bind(wxEVT_TEXT, &CSeparatorDlg::OnChangeSeparator, this);
    m_pEdit->SetValue(";");                // raises the change, which enables OK
    Control(IDC_SEPARATOR_OK)->SetFocus(); // Enter exports with ";" at once
}

bool CSeparatorDlg::TransferDataFromWindow() {
    return IsSeparatorAllowed(m_strSeparator);
}

void CSeparatorDlg::OnChangeSeparator(wxCommandEvent&) {
    m_strSeparator = FromWx(m_pEdit->GetValue());
    EnableControl(IDC_SEPARATOR_OK, IsSeparatorAllowed(m_strSeparator));
}
