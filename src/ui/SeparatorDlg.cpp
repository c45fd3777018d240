#include "ui/SeparatorDlg.h"

#include <wx/textctrl.h>

#include "lang/AccessibleTexts.h"
#include "output/TextExport.h"
#include "lang/Language.h"
#include "lang/TextId.h"
#include "ui/WxText.h"

namespace {

constexpr int kWidthDlu = 142;
constexpr int kHeightDlu = 69;

// Template order is tab order: OK first, so it has the focus when the dialog opens.
constexpr SControlTemplate kLayout[] = {
    {IDC_SEPARATOR_OK, EControlKind::DefaultButton, kTextStartExport, nullptr, 76, 48, 59, 14,
     kTabStop},
    {IDC_SEPARATOR_CANCEL, EControlKind::PushButton, kTextSeparatorCancel, nullptr, 7, 48, 59, 14,
     kTabStop},
    {IDC_SEPARATOR_NEEDED, EControlKind::WrappedLabel, kTextSeparatorNeeded, nullptr, 7, 9, 128, 19, 0},
    {IDC_SEPARATOR_LABEL, EControlKind::Label, kTextSeparatorLabel, nullptr, 33, 32, 34, 8, 0},
    {IDC_SEPARATOR, EControlKind::Edit, kNoText, "", 71, 30, 15, 12, kTabStop},
};

} // namespace

CSeparatorDlg::CSeparatorDlg(wxWindow* pParent, const CLanguage& language)
    : CTemplateDialog(pParent, ToWx(language.GetText(kTextSeparatorCaption)), kWidthDlu, kHeightDlu,
                      kLayout) {
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
