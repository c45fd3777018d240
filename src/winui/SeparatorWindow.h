#pragma once

#include "dialogs/SeparatorController.h"
#include "dialogs/SeparatorDlgTemplate.h"
#include "winui/DialogView.h"

// The text export's separator dialog; ends with IDC_SEPARATOR_OK when a separator was accepted.
class CSeparatorWindow : public CDialogView<IDialogView> {
public:
    explicit CSeparatorWindow(const CLanguage& language);

    const std::string& Separator() const { return m_controller.Separator(); }

private:
    void OnInit() override;
    void OnCommand(int nId, int nCode) override;

    CSeparatorController m_controller;
};
