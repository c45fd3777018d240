#include "ui/ProgressDlg.h"

#include <wx/gauge.h>
#include <wx/utils.h>

#include "platform/WorkProgress.h"
#include "ui/WxText.h"

CProgressDlg::CProgressDlg(wxWindow* pParent, SWorkProgress& progress,
                           const SProgressLabels& labels, std::function<bool()> fnDone)
    : CTemplateDialog(pParent, ToWx(labels.strTitle), kProgressDlgTemplate, wxCAPTION),
      m_controller(*this, progress, labels, std::move(fnDone)), m_timer(this) {
    SetEscapeId(IDC_PROGRESS_CANCEL);
    m_controller.Start();
    CentreOnParent();
    Bind(wxEVT_TIMER, [this](wxTimerEvent&) { m_controller.OnTimer(); });
    Control(IDC_PROGRESS_CANCEL)->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) {
        m_controller.OnCancel();
    });
    m_timer.Start(static_cast<int>(kProgressRefresh.count()));
}

void CProgressDlg::PulseBar(int nId) {
    if (auto* pGauge = ControlAs<wxGauge>(nId))
        pGauge->Pulse();
}

void CProgressDlg::EndProgress(bool bCompleted) {
    m_timer.Stop();
    EndModal(bCompleted ? wxID_OK : wxID_CANCEL);
}

bool RunWithProgress(wxWindow* pParent, SWorkProgress& progress, const SProgressLabels& labels,
                     const std::function<void()>& fnWork) {
    wxBusyCursor busy;
    return RunWithProgressWindow(progress, fnWork, [&](const std::function<bool()>& fnDone) {
        CProgressDlg dlg(pParent, progress, labels, fnDone);
        if (dlg.ShowModal() != wxID_OK)
            progress.Cancel();
    });
}
