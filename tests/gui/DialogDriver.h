#pragma once

// What the window tests of the exports and the small dialogs share: the main dialog opened
// and closed, typing into a field, and answers for the dialogs that the handlers open.

#include "GuiTest.h" // first: it chooses the hook of wxTEST_DIALOG

#include <gtest/gtest.h>
#include <wx/filedlg.h>
#include <wx/msgdlg.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ui/KWLDlg.h"
#include "ui/SeparatorDlg.h"

// Types strText into edit nId as the keyboard does: it replaces the selection (all of the
// field) character by character through the field's own insertion, which applies the field's
// length limit and raises the change events.
void TypeInto(wxWindow* pDialog, int nId, const wxString& strText);
// Empties edit nId, raising the change event.
void EraseField(wxWindow* pDialog, int nId);

// Answers the separator dialog: types strTyped over the ";" it opens with (nothing is typed
// without it), then clicks nButton.
template <> class wxExpectModal<CSeparatorDlg> : public wxExpectModalBase<CSeparatorDlg> {
public:
    explicit wxExpectModal(std::optional<wxString> typed = std::nullopt,
                           int nButton = IDC_SEPARATOR_OK)
        : m_typed(std::move(typed)), m_nButton(nButton) {}

protected:
    int OnInvoked(CSeparatorDlg* pDlg) const override {
        if (m_typed)
            TypeInto(pDlg, IDC_SEPARATOR, *m_typed);
        Click(pDlg, m_nButton);
        return m_nButton == IDC_SEPARATOR_OK ? int{IDC_SEPARATOR_OK} : int{wxID_CANCEL};
    }

private:
    std::optional<wxString> m_typed;
    int m_nButton;
};

// A message box of ours: caption "kwl" and exactly strText.
class CExpectMessage : public wxExpectModalBase<wxMessageDialog, CExpectMessage> {
public:
    explicit CExpectMessage(const std::string& strText);

protected:
    int OnInvoked(wxMessageDialog* pDlg) const override;

private:
    wxString m_strText;
};

// The save dialog: checks what it proposes, then picks strPath, or cancels when strPath is
// empty.
class CExpectSave : public wxExpectModalBase<wxFileDialog, CExpectSave> {
public:
    // nFileType: the file type to choose among the wildcard's, -1 to leave the dialog's.
    CExpectSave(const std::string& strPath, const wxString& strName, const wxString& strWildcard,
                int nFileType = -1);

protected:
    int OnInvoked(wxFileDialog* pDlg) const override;

private:
    wxString m_strPath;
    wxString m_strName;
    wxString m_strWildcard;
    int m_nFileType;
};
