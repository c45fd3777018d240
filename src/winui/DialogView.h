#pragma once

#include "dialogs/DialogView.h"
#include "winui/DialogWindow.h"
#include "winui/TextFit.h"

// A dialog window that is the view TView (IDialogView or one derived from it) of its
// controller: every operation of IDialogView carried out on the template's controls.
template <class TView> class CDialogView : public TView, public CDialogWindow {
public:
    explicit CDialogView(const SDialogTemplate& dlg) : CDialogWindow(dlg) {}

    void SetText(int nId, const std::string& strText) override { SetControlText(nId, strText); }
    void SetPlainText(int nId, const std::string& strText) override {
        SetControlPlainText(nId, strText);
    }
    std::string GetText(int nId) const override { return ControlText(nId); }
    void ShowTextEnd(int nId) override { ShowControlTextEnd(nId); }
    void Enable(int nId, bool bEnable) override { EnableControl(nId, bEnable); }
    void Show(int nId, bool bShow) override { ShowControl(nId, bShow); }
    bool IsChecked(int nId) const override { return IsControlChecked(nId); }
    void SetChecked(int nId, bool bChecked) override { SetControlChecked(nId, bChecked); }
    void SetAccessibleName(int nId, const std::string& strName) override {
        SetControlName(nId, strName);
    }
    void SetTip(int nId, const std::string& strTip) override { SetControlTip(nId, strTip); }
    void ShowMessage(const std::string& strText, EMessageIcon eIcon) override {
        ShowMessageBox(strText, eIcon == EMessageIcon::Warning);
    }
    void FitTexts() override { FitTextsToFont(Handle(), Template().controls); }
};
