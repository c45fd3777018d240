#pragma once

#include <string>

#include "dialogs/SeparatorController.h"
#include "dialogs/SeparatorDlgTemplate.h"
#include "ui/DialogTemplate.h"

class CLanguage;

// The separator dialog's window; CSeparatorController decides. It ends with IDC_SEPARATOR_OK
// once a usable separator was accepted.
class CSeparatorDlg : public CTemplateDialog {
public:
    CSeparatorDlg(wxWindow* pParent, const CLanguage& language);

    // The separator in the field (UTF-8); the one accepted once the dialog ended with OK.
    const std::string& GetSeparator() const { return m_controller.Separator(); }

    // Refuses to end with OK while the field holds no usable separator.
    bool TransferDataFromWindow() override;

private:
    CSeparatorController m_controller;
};
