#include "GuiTest.h"

#include <wx/app.h>
#include <wx/checkbox.h>
#include <wx/combobox.h>
#include <wx/textctrl.h>

#include <cstdlib>

#include "support/Files.h"
#include "ui/DialogTemplate.h"
#include "ui/KWLDlg.h"

CGuiTest::CGuiTest() {
    if (const char* pszOld = std::getenv("XDG_CONFIG_HOME")) {
        m_bHadConfig = true;
        m_strOldConfig = pszOld;
    }
    setenv("XDG_CONFIG_HOME", m_config.Root().c_str(), 1);
}

CGuiTest::~CGuiTest() {
    if (m_bHadConfig)
        setenv("XDG_CONFIG_HOME", m_strOldConfig.c_str(), 1);
    else
        unsetenv("XDG_CONFIG_HOME");
    Flush();
}

void CGuiTest::WriteFormats(const std::string& strContent) {
    m_config.AddDir("kwl");
    ASSERT_TRUE(WriteFile(FormatsPath(), strContent));
}

std::string CGuiTest::ReadFormats() const {
    return ReadFile(FormatsPath());
}

TWindowPtr<CKWLDlg> ShowMainDialog() {
    return ShowModeless(new CKWLDlg());
}

void Click(wxWindow* pDialog, int nId) {
    wxWindow* pControl = pDialog->FindWindow(nId);
    ASSERT_NE(pControl, nullptr) << "control " << nId;
    ASSERT_TRUE(pControl->IsEnabled()) << "a disabled control " << nId << " cannot be clicked";
    wxCommandEvent event(wxEVT_BUTTON, nId);
    event.SetEventObject(pControl);
    pControl->GetEventHandler()->ProcessEvent(event);
    Flush();
}

void Toggle(wxWindow* pDialog, int nId, bool bChecked) {
    auto* pBox = dynamic_cast<wxCheckBox*>(pDialog->FindWindow(nId));
    ASSERT_NE(pBox, nullptr) << "check box " << nId;
    pBox->SetValue(bChecked);
    wxCommandEvent event(wxEVT_CHECKBOX, nId);
    event.SetEventObject(pBox);
    event.SetInt(bChecked ? 1 : 0);
    pBox->GetEventHandler()->ProcessEvent(event);
    Flush();
}

void ChooseEntry(wxWindow* pDialog, int nId, int nIndex) {
    auto* pCombo = dynamic_cast<wxComboBox*>(pDialog->FindWindow(nId));
    ASSERT_NE(pCombo, nullptr) << "combo box " << nId;
    pCombo->SetSelection(nIndex);
    wxCommandEvent event(wxEVT_COMBOBOX, nId);
    event.SetEventObject(pCombo);
    event.SetInt(nIndex);
    pCombo->GetEventHandler()->ProcessEvent(event);
    Flush();
}

void Flush() {
    for (int i = 0; i < 3; ++i) {
        wxTheApp->ProcessPendingEvents();
        wxTheApp->Yield(true);
    }
}

wxString TextOf(wxWindow* pDialog, int nId) {
    wxWindow* pControl = pDialog->FindWindow(nId);
    if (auto* pEdit = dynamic_cast<wxTextCtrl*>(pControl))
        return pEdit->GetValue();
    if (auto* pCombo = dynamic_cast<wxComboBox*>(pControl))
        return pCombo->GetValue();
    return pControl != nullptr ? pControl->GetLabel() : wxString("<missing>");
}

bool IsEnabled(wxWindow* pDialog, int nId) {
    wxWindow* pControl = pDialog->FindWindow(nId);
    return pControl != nullptr && pControl->IsEnabled();
}

void ForEachTemplateControl(
    CTemplateDialog& dlg,
    const std::function<void(const SControlTemplate& row, wxWindow& control, const wxRect& rect)>&
        fnCheck) {
    const wxWindowList& children = dlg.GetChildren();
    ASSERT_EQ(children.size(), dlg.Template().size());
    auto it = children.begin();
    for (const SControlTemplate& row : dlg.Template()) {
        SCOPED_TRACE(row.nId);
        wxWindow* pControl = *it++;
        EXPECT_EQ(pControl->GetId(), row.nId); // creation order is tab order
        fnCheck(row, *pControl, dlg.PixelRect(row));
    }
}
