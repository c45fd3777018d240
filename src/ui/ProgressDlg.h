#pragma once

#include <wx/timer.h>

#include <functional>

#include "dialogs/ProgressController.h"
#include "dialogs/ProgressDlgTemplate.h"
#include "dialogs/ProgressView.h"
#include "ui/DialogTemplate.h"

struct SWorkProgress;

// The modal progress window: a live count, a moving bar and Cancel; CProgressController
// decides. It ends itself once the work is done (fnDone).
class CProgressDlg : public CTemplateDialog, public IProgressView {
public:
    CProgressDlg(wxWindow* pParent, SWorkProgress& progress, const SProgressLabels& labels,
                 std::function<bool()> fnDone);

    void PulseBar(int nId) override;
    void EndProgress(bool bCompleted) override;

private:
    CProgressController m_controller;
    wxTimer m_timer;
};

// Runs fnWork on a worker thread under the wait cursor while the caller waits; work that is
// still running after kProgressDelay gets the progress window, whose Cancel sets the cancel
// flag of progress. fnWork must not touch any window. Returns false when the work was
// cancelled.
bool RunWithProgress(wxWindow* pParent, SWorkProgress& progress, const SProgressLabels& labels,
                     const std::function<void()>& fnWork);
