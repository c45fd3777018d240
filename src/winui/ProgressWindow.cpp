#include "winui/ProgressWindow.h"

#include <commctrl.h>

#include "dialogs/ProgressDlgTemplate.h"
#include "winui/WideText.h"

namespace {
constexpr UINT_PTR kRefreshTimer = 1;
} // namespace

CProgressWindow::CProgressWindow(SWorkProgress& progress, const SProgressLabels& labels,
                                 std::function<bool()> fnDone)
    : CDialogView<IProgressView>(kProgressDlgTemplate), m_strTitle(labels.strTitle),
      m_controller(*this, progress, labels, std::move(fnDone)) {}

void CProgressWindow::OnInit() {
    // The caption names the work; the template has none of its own.
    SetWindowTextW(Handle(), Wide(m_strTitle).c_str());
    SendMessageW(Control(IDC_PROGRESS_BAR), PBM_SETMARQUEE, TRUE, 0);
    m_controller.Start();
    SetTimer(Handle(), kRefreshTimer, static_cast<UINT>(kProgressRefresh.count()), nullptr);
}

void CProgressWindow::OnCommand(int nId, int) {
    if (nId == IDC_PROGRESS_CANCEL)
        m_controller.OnCancel();
}

INT_PTR CProgressWindow::OnMessage(UINT nMessage, WPARAM, LPARAM) {
    if (nMessage != WM_TIMER)
        return FALSE;
    m_controller.OnTimer();
    return TRUE;
}

// The marquee moves by itself.
void CProgressWindow::PulseBar(int) {}

void CProgressWindow::EndProgress(bool bCompleted) {
    KillTimer(Handle(), kRefreshTimer);
    End(bCompleted ? IDOK : IDCANCEL);
}
