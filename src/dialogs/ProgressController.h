#pragma once

#include <chrono>
#include <functional>

#include "dialogs/ProgressTexts.h"

class IProgressView;
struct SWorkProgress;

// How long work runs before the progress window shows, and how often the window refreshes.
inline constexpr std::chrono::milliseconds kProgressDelay{500};
inline constexpr std::chrono::milliseconds kProgressRefresh{200};

// What the progress window decides: its count, Cancel, and when it ends. The window calls
// OnTimer every kProgressRefresh; it ends itself once the work is done (fnDone), so a
// cancelled work is waited for before the window goes.
class CProgressController {
public:
    CProgressController(IProgressView& view, SWorkProgress& progress, SProgressLabels labels,
                        std::function<bool()> fnDone);

    // Texts and the first count.
    void Start();
    void OnTimer();
    // The work stops at its next check; the window stays until it has.
    void OnCancel();

private:
    void ShowCount();

    IProgressView& m_view;
    SWorkProgress& m_progress;
    SProgressLabels m_labels;
    std::function<bool()> m_fnDone;
};

// Runs fnWork on a worker thread while the caller waits; work that is still running after
// kProgressDelay gets the window that fnShowWindow shows (modal, until fnDone is true), which
// may cancel progress. fnWork must not touch any window; an exception it throws is raised
// again here. Returns false when the work was cancelled.
bool RunWithProgressWindow(
    SWorkProgress& progress, const std::function<void()>& fnWork,
    const std::function<void(const std::function<bool()>& fnDone)>& fnShowWindow);
