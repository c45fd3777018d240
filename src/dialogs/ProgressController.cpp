#include "dialogs/ProgressController.h"

#include <atomic>
#include <exception>
#include <thread>

#include "dialogs/ProgressDlgTemplate.h"
#include "dialogs/ProgressView.h"
#include "platform/WorkProgress.h"

CProgressController::CProgressController(IProgressView& view, SWorkProgress& progress,
                                         SProgressLabels labels, std::function<bool()> fnDone)
    : m_view(view), m_progress(progress), m_labels(std::move(labels)), m_fnDone(std::move(fnDone)) {
}

void CProgressController::Start() {
    m_view.SetText(IDC_PROGRESS_CANCEL, m_labels.strCancel);
    // The bar shows the work that the title names.
    m_view.SetAccessibleName(IDC_PROGRESS_BAR, m_labels.strTitle);
    ShowCount();
}

void CProgressController::ShowCount() {
    m_view.SetPlainText(IDC_PROGRESS_COUNT, CountText(m_labels, m_progress.nDone.load()));
    m_view.PulseBar(IDC_PROGRESS_BAR);
}

void CProgressController::OnTimer() {
    if (m_fnDone()) {
        m_view.EndProgress(!m_progress.IsCancelled());
        return;
    }
    ShowCount();
}

void CProgressController::OnCancel() {
    m_progress.Cancel();
    m_view.Enable(IDC_PROGRESS_CANCEL, false);
    m_view.SetPlainText(IDC_PROGRESS_COUNT, m_labels.strCancelling);
}

bool RunWithProgressWindow(
    SWorkProgress& progress, const std::function<void()>& fnWork,
    const std::function<void(const std::function<bool()>& fnDone)>& fnShowWindow) {
    std::atomic<bool> bDone{false};
    std::exception_ptr pFailure;
    std::thread worker([&] {
        try {
            fnWork();
        } catch (...) {
            pFailure = std::current_exception(); // out of memory: raised again on this thread
        }
        bDone.store(true, std::memory_order_release);
    });
    const auto tStart = std::chrono::steady_clock::now();
    while (!bDone.load(std::memory_order_acquire) &&
           std::chrono::steady_clock::now() - tStart < kProgressDelay)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    if (!bDone.load(std::memory_order_acquire))
        fnShowWindow([&bDone] { return bDone.load(std::memory_order_acquire); });
    worker.join();
    if (pFailure)
        std::rethrow_exception(pFailure);
    return !progress.IsCancelled();
}
