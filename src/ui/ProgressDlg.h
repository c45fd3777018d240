#pragma once

#include <wx/dialog.h>
#include <wx/timer.h>

#include <chrono>
#include <functional>

#include "platform/WorkProgress.h"
#include "lang/ProgressTexts.h"

class wxButton;
class wxGauge;
class wxStaticText;

struct SProgressLabels {
    wxString strTitle;
    wxString strCountFormat; // "%s entries read"; %s receives the grouped count
    wxString strCancel;
    wxString strCancelling;
    char cGroupSeparator = ','; // thousands separator of the count
};

// The labels in eLanguage: caption eTitle, count text eCount.
SProgressLabels MakeProgressLabels(EProgressText eTitle, EProgressText eCount,
                                   ELanguage eLanguage);

// The modal progress window: a live count, a moving bar and Cancel. It ends itself once the
// work is done (fnDone), so a cancelled work is waited for before the window goes.
class CProgressDlg : public wxDialog {
public:
    CProgressDlg(wxWindow* pParent, SWorkProgress& progress, const SProgressLabels& labels,
                 std::function<bool()> fnDone);

    void ShowCount();

private:
    void OnTimer(wxTimerEvent& event);
    void OnCancel(wxCommandEvent& event);

    SWorkProgress& m_progress;
    SProgressLabels m_labels;
    std::function<bool()> m_fnDone;
    wxTimer m_timer;
    wxStaticText* m_pCount = nullptr;
    wxGauge* m_pGauge = nullptr;
    wxButton* m_pCancel = nullptr;
};

// How long work runs before the progress window shows, and how often the window refreshes.
inline constexpr std::chrono::milliseconds kProgressDelay{500};
inline constexpr std::chrono::milliseconds kProgressRefresh{200};

// Runs fnWork on a worker thread while the caller waits; work that is still running after
// kProgressDelay gets the progress window, whose Cancel sets the cancel flag of progress.
// fnWork must not touch any window. Returns false when the work was cancelled.
bool RunWithProgress(wxWindow* pParent, SWorkProgress& progress, const SProgressLabels& labels,
                     const std::function<void()>& fnWork);

// "1,234,567" (cSeparator ',') or "1.234.567" ('.').
wxString GroupedCount(std::uint64_t nCount, char cSeparator);
