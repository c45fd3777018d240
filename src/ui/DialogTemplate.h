#pragma once

#include <wx/dialog.h>

#include <initializer_list>
#include <span>
#include <string>

#include "dialogs/DialogTemplate.h"
#include "dialogs/DialogView.h"

class wxStaticText;

// Base of the program's dialogs: creates every control of the table before the dialog is
// first sized (a wx dialog with a single child stretches that child), and is the view through
// which the dialog's controller sets texts and states.
class CTemplateDialog : public wxDialog, public virtual IDialogView {
public:
    CTemplateDialog(wxWindow* pParent, const wxString& strCaption, const SDialogTemplate& dlg,
                    long nStyle = wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX);

    wxWindow* Control(int nId) const;
    template <class T> T* ControlAs(int nId) const { return dynamic_cast<T*>(Control(nId)); }

    // The view.
    void SetText(int nId, const std::string& strText) override;
    void SetPlainText(int nId, const std::string& strText) override;
    std::string GetText(int nId) const override;
    void ShowTextEnd(int nId) override;
    void Enable(int nId, bool bEnable) override;
    void Show(int nId, bool bShow) override;
    bool IsChecked(int nId) const override;
    void SetChecked(int nId, bool bChecked) override;
    void SetAccessibleName(int nId, const std::string& strName) override;
    void SetTip(int nId, const std::string& strTip) override;
    void ShowMessage(const std::string& strText, EMessageIcon eIcon) override;
    void FitTexts() override {}

    // wxWindow's own Enable and Show stay in reach beside the view's.
    using wxDialog::Enable;
    using wxDialog::Show;

    // GTK's fonts and button padding take more room than the template's font did. When the
    // text of one of the controls does not fit, all of them get the width the widest text
    // needs, each ending at nRightDlu at most (where the next control to the right begins).
    void WidenToFit(std::span<const int> ids, int nRightDlu);
    void WidenToFit(std::initializer_list<int> ids, int nRightDlu) {
        WidenToFit(std::span<const int>(ids.begin(), ids.size()), nRightDlu);
    }
    // For a control at the right edge, whose text depends on the language shown: its row's
    // place, or, when its text needs more, its row's right edge kept and its left edge moved
    // to the left, up to nLeftDlu.
    void FitLeftwards(int nId, int nLeftDlu);

    std::span<const SControlTemplate> Template() const { return m_controls; }
    wxRect PixelRect(const SControlTemplate& row);

private:
    wxWindow* CreateControl(const SControlTemplate& row);
    void SetControlText(int nId, const wxString& strText) const;
    // For texts from the file system: an "&" is shown as it is, not taken as a mnemonic.
    void SetPlainControlText(int nId, const wxString& strText) const;
    static void ShowWholeTextAsTip(wxStaticText* pLabel);

    std::span<const SControlTemplate> m_controls;
};
