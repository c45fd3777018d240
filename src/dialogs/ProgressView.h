#pragma once

#include "dialogs/DialogView.h"

// The progress window: the controls of kProgressDlgLayout.
class IProgressView : public virtual IDialogView {
public:
    // Moves the bar a step: the work's length is not known.
    virtual void PulseBar(int nId) = 0;
    // Ends the modal window; bCompleted is false when the work was cancelled.
    virtual void EndProgress(bool bCompleted) = 0;
};
