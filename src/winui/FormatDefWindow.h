#pragma once

#include "dialogs/FormatDefController.h"
#include "dialogs/FormatDefDlgTemplate.h"
#include "winui/DialogView.h"

// The format definition dialog; ends with IDC_FD_OK when a line was accepted.
class CFormatDefWindow : public CDialogView<IDialogView> {
public:
    CFormatDefWindow(const CLanguage& language, const CFileInformation& sampleFile,
                     const CDirInformation& sampleDir);

    const std::string& Line() const { return m_controller.Line(); }

private:
    void OnInit() override;
    void OnCommand(int nId, int nCode) override;
    bool OnFieldRow(int nId);

    CFormatDefController m_controller;
};
