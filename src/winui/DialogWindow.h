#pragma once

#include <windows.h>

#include <oleacc.h>
#include <wrl/client.h>

#include <set>
#include <string>

#include "dialogs/DialogTemplate.h"

class CLanguage;

// A dialog built at run time from a template's rows, modal or modeless, with what every view
// does to its controls. Events go to the virtual handlers; controls are named by their ids.
class CDialogWindow {
public:
    explicit CDialogWindow(const SDialogTemplate& dlg) : m_dlg(dlg) {}
    virtual ~CDialogWindow();
    CDialogWindow(const CDialogWindow&) = delete;
    CDialogWindow& operator=(const CDialogWindow&) = delete;

    HWND Handle() const { return m_hWnd; }
    HWND Control(int nId) const { return GetDlgItem(m_hWnd, nId); }
    const SDialogTemplate& Template() const { return m_dlg; }

    // Modal: returns the code the dialog ended with.
    INT_PTR RunModal(HWND hOwner, const CLanguage& language);
    // Modeless: the window stays until End destroys it (and, for the program's main window,
    // ends its message loop).
    HWND Create(HWND hOwner, const CLanguage& language, bool bMainWindow);
    void End(int nCode);

    // The view's operations on the controls.
    void SetControlText(int nId, const std::string& strText) const;
    void SetControlPlainText(int nId, const std::string& strText) const;
    std::string ControlText(int nId) const;
    void ShowControlTextEnd(int nId) const;
    void EnableControl(int nId, bool bEnable) const;
    void ShowControl(int nId, bool bShow) const;
    bool IsControlChecked(int nId) const;
    void SetControlChecked(int nId, bool bChecked) const;
    void SetControlName(int nId, const std::string& strName);
    void SetControlTip(int nId, const std::string& strTip);
    void ShowMessageBox(const std::string& strText, bool bWarning) const;

protected:
    virtual void OnInit() {}
    // A WM_COMMAND from control nId with notification nCode.
    virtual void OnCommand(int nId, int nCode) = 0;
    // Any other message; TRUE when handled.
    virtual INT_PTR OnMessage(UINT nMessage, WPARAM wParam, LPARAM lParam);

private:
    static INT_PTR CALLBACK DialogProc(HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam);
    DWORD Style(bool bModal) const;
    void SetTextQuietly(HWND hControl, const std::wstring& strText) const;

    const SDialogTemplate& m_dlg;
    HWND m_hWnd = nullptr;
    bool m_bModal = false;
    bool m_bMainWindow = false;
    mutable bool m_bSettingText = false; // while the program itself sets an edit's text
    HWND m_hTips = nullptr;              // destroyed with the dialog, its owner
    std::set<int> m_tipped;              // controls that have a tip
    Microsoft::WRL::ComPtr<IAccPropServices> m_pNames;
};
