#include "DialogDriver.h"


#include <wx/textctrl.h>
#include <wx/utils.h>


#include "ui/DialogTemplate.h"
#include "ui/WxText.h"

extern char** environ;

void TypeInto(wxWindow* pDialog, int nId, const wxString& strText) {
    auto* pEdit = dynamic_cast<wxTextCtrl*>(pDialog->FindWindow(nId));
    ASSERT_NE(pEdit, nullptr) << "edit " << nId;
    pEdit->SelectAll();
    for (const wxUniChar c : strText)
        pEdit->WriteText(wxString(c));
    Flush();
}

void EraseField(wxWindow* pDialog, int nId) {
    auto* pEdit = dynamic_cast<wxTextCtrl*>(pDialog->FindWindow(nId));
    ASSERT_NE(pEdit, nullptr) << "edit " << nId;
    pEdit->Clear();
    Flush();
}

CExpectMessage::CExpectMessage(const std::string& strText) : m_strText(ToWx(strText)) {}

int CExpectMessage::OnInvoked(wxMessageDialog* pDlg) const {
    EXPECT_EQ(pDlg->GetMessage(), m_strText);
    EXPECT_EQ(pDlg->GetCaption(), kAppName);
    return wxID_OK;
}

CExpectSave::CExpectSave(const std::string& strPath, const wxString& strName,
                         const wxString& strWildcard, int nFileType)
    : m_strPath(ToWx(strPath)), m_strName(strName), m_strWildcard(strWildcard),
      m_nFileType(nFileType) {}

int CExpectSave::OnInvoked(wxFileDialog* pDlg) const {
    EXPECT_TRUE(pDlg->HasFlag(wxFD_SAVE));
    EXPECT_TRUE(pDlg->HasFlag(wxFD_OVERWRITE_PROMPT));
    EXPECT_EQ(pDlg->GetFilename(), m_strName);
    EXPECT_EQ(pDlg->GetWildcard(), m_strWildcard);
    // The first type is the one offered.
    EXPECT_EQ(pDlg->GetFilterIndex(), 0);
    if (m_strPath.empty())
        return wxID_CANCEL;
    pDlg->SetPath(m_strPath);
    // The GTK chooser takes the path once it has read the folder.
    for (int i = 0; i < 100 && pDlg->GetPath() != m_strPath; ++i) {
        Flush();
        wxMilliSleep(10);
    }
    EXPECT_EQ(pDlg->GetPath(), m_strPath);
    // After the path: the chooser picks the type again when it reads the folder.
    if (m_nFileType >= 0) {
        pDlg->SetFilterIndex(m_nFileType);
        EXPECT_EQ(pDlg->GetFilterIndex(), m_nFileType);
    }
    return wxID_OK;
}
