#pragma once

#include <string>

#include "dialogs/SeparatorDlgTemplate.h"
#include "ui/DialogTemplate.h"

class CLanguage;
class wxTextCtrl;

// Asks for the column separator of the text export: one character, ";" to start with. OK
// (which ends the dialog with IDC_SEPARATOR_OK) is offered only while the field holds a
// separator the export can use.
class CSeparatorDlg : public CTemplateDialog {
public:
    CSeparatorDlg(wxWindow* pParent, const CLanguage& language);

    // The separator in the field (UTF-8); the one accepted once the dialog ended with OK.
    const std::string& GetSeparator() const { return m_strSeparator; }

    // Refuses to end with OK while the field holds no usable separator.
    bool TransferDataFromWindow() override;

private:
    void OnChangeSeparator(wxCommandEvent& event);

    wxTextCtrl* m_pEdit = nullptr;
    std::string m_strSeparator;
};
