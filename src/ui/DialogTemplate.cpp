#include "ui/DialogTemplate.h"

#include <wx/bmpbuttn.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/combobox.h>
#include <wx/gauge.h>
#include <wx/msgdlg.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include <algorithm>

#include "ui/AccessibleName.h"
#include "ui/ToolkitStyle.h"
#include "ui/WxText.h"

static_assert(kStaticId == wxID_STATIC);

CTemplateDialog::CTemplateDialog(wxWindow* pParent, const wxString& strCaption,
                                 const SDialogTemplate& dlg, long nStyle)
    : wxDialog(pParent, wxID_ANY, strCaption, wxDefaultPosition, wxDefaultSize, nStyle),
      m_controls(dlg.controls) {
    UseCompactTextButtons();
    SetClientSize(ConvertDialogToPixels(wxSize(dlg.cx, dlg.cy)));
    for (const SControlTemplate& row : m_controls) {
        wxWindow* pControl = CreateControl(row);
        if (row.nFlags & kDisabled)
            pControl->Disable();
        if (row.nFlags & kHidden)
            pControl->Hide();
    }
}

wxRect CTemplateDialog::PixelRect(const SControlTemplate& row) {
    return wxRect(ConvertDialogToPixels(wxPoint(row.x, row.y)),
                  ConvertDialogToPixels(wxSize(row.cx, row.cy)));
}

wxWindow* CTemplateDialog::CreateControl(const SControlTemplate& row) {
    const wxRect rect = PixelRect(row);
    const wxPoint pos = rect.GetPosition();
    const wxSize size = rect.GetSize();
    const wxString strText = row.pszText != nullptr ? ToWx(row.pszText) : wxString();
    switch (row.eKind) {
    case EControlKind::PushButton:
        return new wxButton(this, row.nId, strText, pos, size);
    case EControlKind::LeftButton:
        return new wxButton(this, row.nId, strText, pos, size, wxBU_LEFT);
    case EControlKind::DefaultButton: {
        auto* pButton = new wxButton(this, row.nId, strText, pos, size);
        pButton->SetDefault();
        return pButton;
    }
    case EControlKind::CheckBox: {
        // GTK draws a check box no lower than its best height and warns otherwise; a lower
        // template row keeps its centre.
        auto* pBox = new wxCheckBox(this, row.nId, strText, pos, size);
        const int nHeight = std::max(size.y, pBox->GetBestSize().y);
        pBox->SetSize(pos.x, pos.y - (nHeight - size.y) / 2, size.x, nHeight);
        return pBox;
    }
    case EControlKind::ComboBox: {
        // The template's height includes the dropped list; the field keeps its own height.
        auto* pCombo = new wxComboBox(this, row.nId, strText, pos, wxSize(size.x, -1), 0, nullptr,
                                      wxCB_DROPDOWN);
        DropDownAsList(*pCombo);
        return pCombo;
    }
    case EControlKind::Edit:
        return new wxTextCtrl(this, row.nId, strText, pos, size);
    case EControlKind::ReadOnlyEdit:
        return new wxTextCtrl(this, row.nId, strText, pos, size, wxTE_READONLY);
    case EControlKind::PreviewEdit:
        return new wxTextCtrl(this, row.nId, strText, pos, size,
                              wxTE_MULTILINE | wxTE_READONLY | wxTE_DONTWRAP | wxHSCROLL |
                                  wxVSCROLL | wxBORDER_SUNKEN);
    case EControlKind::GroupBox:
        return new wxStaticBox(this, row.nId, strText, pos, size);
    case EControlKind::Label:
        // No word wrap: a text wider than its place (German texts in a GTK font) is cut
        // with an ellipsis instead of losing its second line.
        return new wxStaticText(this, row.nId, strText, pos, size,
                                wxALIGN_LEFT | wxST_NO_AUTORESIZE | wxST_ELLIPSIZE_END);
    case EControlKind::WrappedLabel: {
        auto* pLabel =
            new wxStaticText(this, row.nId, strText, pos, size, wxALIGN_LEFT | wxST_NO_AUTORESIZE);
        WrapAtWidth(*pLabel);
        return pLabel;
    }
    case EControlKind::CentredLabel:
        return new wxStaticText(this, row.nId, strText, pos, size,
                                wxALIGN_CENTRE_HORIZONTAL | wxST_NO_AUTORESIZE);
    case EControlKind::BitmapButton:
        return new wxBitmapButton(this, row.nId, wxNullBitmap, pos, size);
    case EControlKind::ProgressBar:
        return new wxGauge(this, row.nId, 100, pos, size);
    }
    return nullptr;
}

void CTemplateDialog::WidenToFit(std::span<const int> ids, int nRightDlu) {
    int nNeeded = 0;
    for (int nId : ids)
        nNeeded = std::max(nNeeded, Control(nId)->GetBestSize().x);
    const int nRight = ConvertDialogToPixels(wxPoint(nRightDlu, 0)).x;
    for (int nId : ids) {
        wxWindow* pControl = Control(nId);
        const wxRect rect = pControl->GetRect();
        if (rect.width < nNeeded)
            pControl->SetSize(std::min(nNeeded, nRight - rect.x), rect.height);
    }
}

void CTemplateDialog::FitLeftwards(int nId, int nLeftDlu) {
    const SControlTemplate* row = FindRow(m_controls, nId);
    wxWindow* pControl = Control(nId);
    if (row == nullptr || pControl == nullptr)
        return;
    wxRect rect = PixelRect(*row);
    const int nLeft = ConvertDialogToPixels(wxPoint(nLeftDlu, 0)).x;
    const int nNeeded = pControl->GetBestSize().x;
    if (nNeeded > rect.width) {
        const int nRight = rect.GetRight();
        rect.x = std::max(nLeft, nRight + 1 - nNeeded);
        rect.width = nRight + 1 - rect.x;
    }
    pControl->SetSize(rect);
}

wxWindow* CTemplateDialog::Control(int nId) const {
    return FindWindow(nId);
}

// Catalogue texts carry "&" mnemonics, which SetLabel turns into keyboard shortcuts.
void CTemplateDialog::SetControlText(int nId, const wxString& strText) const {
    wxWindow* pControl = Control(nId);
    if (auto* pEdit = dynamic_cast<wxTextCtrl*>(pControl))
        pEdit->ChangeValue(strText);
    else if (auto* pCombo = dynamic_cast<wxComboBox*>(pControl))
        pCombo->ChangeValue(strText);
    else if (pControl != nullptr)
        pControl->SetLabel(strText);
    if (auto* pLabel = dynamic_cast<wxStaticText*>(pControl))
        ShowWholeTextAsTip(pLabel);
}

// A label cut with an ellipsis shows its whole text when the pointer rests on it.
void CTemplateDialog::ShowWholeTextAsTip(wxStaticText* pLabel) {
    const wxString strText = pLabel->GetLabelText();
    if (pLabel->GetTextExtent(strText).x > pLabel->GetSize().x)
        pLabel->SetToolTip(strText);
    else
        pLabel->UnsetToolTip();
}

void CTemplateDialog::SetPlainControlText(int nId, const wxString& strText) const {
    if (auto* pControl = dynamic_cast<wxControl*>(Control(nId)))
        pControl->SetLabelText(strText);
    if (auto* pLabel = dynamic_cast<wxStaticText*>(Control(nId)))
        ShowWholeTextAsTip(pLabel);
}

void CTemplateDialog::SetText(int nId, const std::string& strText) {
    SetControlText(nId, ToWx(strText));
}

void CTemplateDialog::SetPlainText(int nId, const std::string& strText) {
    SetPlainControlText(nId, ToWx(strText));
}

std::string CTemplateDialog::GetText(int nId) const {
    if (auto* pEdit = ControlAs<wxTextCtrl>(nId))
        return FromWx(pEdit->GetValue());
    return std::string();
}

void CTemplateDialog::ShowTextEnd(int nId) {
    if (auto* pEdit = ControlAs<wxTextCtrl>(nId))
        pEdit->SetInsertionPointEnd();
}

void CTemplateDialog::Enable(int nId, bool bEnable) {
    if (wxWindow* pControl = Control(nId))
        pControl->Enable(bEnable);
}

void CTemplateDialog::Show(int nId, bool bShow) {
    if (wxWindow* pControl = Control(nId))
        pControl->Show(bShow);
}

bool CTemplateDialog::IsChecked(int nId) const {
    const auto* pBox = ControlAs<wxCheckBox>(nId);
    return pBox != nullptr && pBox->GetValue();
}

void CTemplateDialog::SetChecked(int nId, bool bChecked) {
    if (auto* pBox = ControlAs<wxCheckBox>(nId))
        pBox->SetValue(bChecked);
}

void CTemplateDialog::SetAccessibleName(int nId, const std::string& strName) {
    if (wxWindow* pControl = Control(nId))
        ::SetAccessibleName(*pControl, ToWx(strName));
}

void CTemplateDialog::SetTip(int nId, const std::string& strTip) {
    if (wxWindow* pControl = Control(nId))
        pControl->SetToolTip(ToWx(strTip));
}

void CTemplateDialog::ShowMessage(const std::string& strText, EMessageIcon eIcon) {
    const long nIcon = eIcon == EMessageIcon::Warning ? wxICON_WARNING : 0;
    wxMessageBox(ToWx(strText), kAppName, wxOK | nIcon, this);
}
