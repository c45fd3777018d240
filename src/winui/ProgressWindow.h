#pragma once

#include <functional>

#include "dialogs/ProgressController.h"
#include "dialogs/ProgressView.h"
#include "winui/DialogView.h"

// The modal progress window: a live count, a moving bar and Cancel, as its controller says.
class CProgressWindow : public CDialogView<IProgressView> {
public:
    CProgressWindow(SWorkProgress& progress, const SProgressLabels& labels,
                    std::function<bool()> fnDone);

    void PulseBar(int nId) override;
    void EndProgress(bool bCompleted) override;

private:
    void OnInit() override;
    void OnCommand(int nId, int nCode) override;
    INT_PTR OnMessage(UINT nMessage, WPARAM wParam, LPARAM lParam) override;

    std::string m_strTitle;
    CProgressController m_controller;
};
