#pragma once

#include <string>

#include "dialogs/FormatDefController.h"
#include "dialogs/FormatDefDlgTemplate.h"
#include "ui/DialogTemplate.h"

class CLanguage;

// The format definition dialog's window; CFormatDefController decides. It ends with IDC_FD_OK
// when a line was accepted.
class CFormatDefDlg : public CTemplateDialog {
public:
    CFormatDefDlg(wxWindow* pParent, const CLanguage& language, const CFileInformation& sampleFile,
                  const CDirInformation& sampleDir);

    // The line shown in the format field; after OK the accepted line.
    const std::string& GetFormat() const { return m_controller.Line(); }

    // Longer texts (German) grow into room that the template leaves free, never under the
    // control to their right.
    void FitTexts() override;

private:
    CFormatDefController m_controller;
};
