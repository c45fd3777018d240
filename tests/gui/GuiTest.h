#pragma once

#include <gtest/gtest.h>
#include <wx/dirdlg.h>
#define wxTEST_DIALOG_HOOK_CLASS CTestModalHook
#include <wx/testing.h>
#include <wx/window.h>

#include <functional>
#include <memory>
#include <string>

#include "support/TempTree.h"

class CKWLDlg;
class CTemplateDialog;
struct SControlTemplate;
// A dialog that no expectation answers is dismissed after the failure is reported, so the
// test goes on instead of waiting for a click on a screen nobody sees.
class CTestModalHook : public wxTestingModalHook {
public:
    using wxTestingModalHook::wxTestingModalHook;

protected:
    int Enter(wxDialog* pDlg) override {
        const int nId = wxTestingModalHook::Enter(pDlg);
        return nId != wxID_NONE ? nId : wxID_CANCEL;
    }
};

// The folder chooser has no expectation of its own in wxWidgets: the path is set as the user
// would pick it, and OK or Cancel is returned.
template <> class wxExpectModal<wxDirDialog> : public wxExpectModalBase<wxDirDialog> {
public:
    explicit wxExpectModal(const wxString& strPath, int nId = wxID_OK)
        : m_strPath(strPath), m_nId(nId) {}

protected:
    int OnInvoked(wxDirDialog* pDlg) const override {
        if (m_nId == wxID_OK) {
            pDlg->SetPath(m_strPath);
            // The GTK chooser reports its path only once it is accepted on screen.
            pDlg->wxDirDialogBase::SetPath(m_strPath);
        }
        return m_nId;
    }

private:
    wxString m_strPath;
    int m_nId;
};

// Each window test gets a configuration folder of its own, so formats.def starts missing.
class CGuiTest : public ::testing::Test {
protected:
    CGuiTest();
    ~CGuiTest() override;

    std::string FormatsPath() const { return m_config.Root() + "/kwl/formats.def"; }
    void WriteFormats(const std::string& strContent);
    std::string ReadFormats() const;

    CTempTree m_config;
    CWorkingDirGuard m_cwd;

private:
    std::string m_strOldConfig;
    bool m_bHadConfig = false;
};

// Runs pending events, so that what a handler queued has happened.
void Flush();

// A window made by a test goes with Destroy(), as its owner would, once the test is done with
// it, and the toolkit finishes with it.
struct SWindowCloser {
    void operator()(wxWindow* pWindow) const {
        pWindow->Destroy();
        Flush();
    }
};
template <class T> using TWindowPtr = std::unique_ptr<T, SWindowCloser>;

// Shows pDlg without a modal loop, so that the test can drive its controls, and owns it.
template <class T> TWindowPtr<T> ShowModeless(T* pDlg) {
    TWindowPtr<T> pOwned(pDlg);
    pOwned->Show();
    Flush();
    return pOwned;
}

// The main dialog, shown, started on the test's own configuration folder.
TWindowPtr<CKWLDlg> ShowMainDialog();

// Real events on the real controls, as a click or a change by the user raises them.
void Click(wxWindow* pDialog, int nId);
void Toggle(wxWindow* pDialog, int nId, bool bChecked);
void ChooseEntry(wxWindow* pDialog, int nId, int nIndex);

wxString TextOf(wxWindow* pDialog, int nId);
bool IsEnabled(wxWindow* pDialog, int nId);

// Checks that every row of the dialog's template became one control, in template order (which
// is the tab order) and with the row's id, then hands each row, its control and the row's
// rectangle in pixels to fnCheck for the checks of the dialog at hand.
void ForEachTemplateControl(
    CTemplateDialog& dlg,
    const std::function<void(const SControlTemplate& row, wxWindow& control, const wxRect& rect)>&
        fnCheck);
