#include "winui/ProgressWindow.h"

#include <commctrl.h>

#include <atomic>
#include <chrono>
#include <exception>
#include <thread>

#include "winui/DialogBuilder.h"
#include "winui/WideText.h"

namespace {

// How long work runs before the window shows, and how often the window refreshes.
constexpr std::chrono::milliseconds kProgressDelay{500};
constexpr UINT kRefreshMs = 200;
constexpr UINT_PTR kRefreshTimer = 1;

enum EProgressId : int { IDC_PROGRESS_COUNT = 100, IDC_PROGRESS_BAR = 101 };

struct SProgressState {
    SWorkProgress& progress;
    const SProgressWork& work;
    const std::atomic<bool>& bDone;
};

void ShowCount(HWND hDlg, const SProgressState& state) {
    SetDlgItemTextW(hDlg, IDC_PROGRESS_COUNT,
                    Wide(ProgressCountText(state.work.eCount, state.progress.nDone.load(),
                                           state.work.eLanguage))
                        .c_str());
}

INT_PTR CALLBACK ProgressProc(HWND hDlg, UINT nMessage, WPARAM wParam, LPARAM lParam) {
    auto* pState = reinterpret_cast<SProgressState*>(GetWindowLongPtrW(hDlg, DWLP_USER));
    switch (nMessage) {
    case WM_INITDIALOG:
        SetWindowLongPtrW(hDlg, DWLP_USER, lParam);
        pState = reinterpret_cast<SProgressState*>(lParam);
        SendDlgItemMessageW(hDlg, IDC_PROGRESS_BAR, PBM_SETMARQUEE, TRUE, 50);
        ShowCount(hDlg, *pState);
        SetTimer(hDlg, kRefreshTimer, kRefreshMs, nullptr);
        return TRUE;
    case WM_TIMER:
        if (pState->bDone.load(std::memory_order_acquire)) {
            KillTimer(hDlg, kRefreshTimer);
            EndDialog(hDlg, pState->progress.IsCancelled() ? IDCANCEL : IDOK);
        } else if (!pState->progress.IsCancelled()) {
            ShowCount(hDlg, *pState);
        }
        return TRUE;
    case WM_COMMAND:
        // The work stops at its next check; the window stays until it has.
        if (LOWORD(wParam) == IDCANCEL && !pState->progress.IsCancelled()) {
            pState->progress.Cancel();
            EnableWindow(GetDlgItem(hDlg, IDCANCEL), FALSE);
            SetDlgItemTextW(
                hDlg, IDC_PROGRESS_COUNT,
                Wide(ProgressText(EProgressText::Cancelling, pState->work.eLanguage)).c_str());
        }
        return TRUE;
    default:
        return FALSE;
    }
}

CDialogBuilder ProgressTemplate(const SProgressWork& work) {
    CDialogBuilder builder(Wide(ProgressText(work.eTitle, work.eLanguage)), 186, 64,
                           WS_POPUP | WS_CAPTION | DS_MODALFRAME | DS_CENTER);
    builder.Add({IDC_PROGRESS_COUNT, L"STATIC", SS_LEFT | SS_NOPREFIX, 0, 8, 8, 170, 8, L""});
    // The bar is named after the work that the caption names.
    builder.Add({IDC_PROGRESS_BAR, PROGRESS_CLASSW, PBS_MARQUEE, 0, 8, 22, 170, 10,
                 Wide(ProgressText(work.eTitle, work.eLanguage))});
    builder.Add({IDCANCEL, L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 0, 128, 42, 50, 14,
                 Wide(ProgressText(EProgressText::Cancel, work.eLanguage))});
    return builder;
}

} // namespace

bool RunWithProgress(HWND hOwner, SWorkProgress& progress, const SProgressWork& work,
                     const std::function<void()>& fnWork) {
    const HCURSOR hOldCursor = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    std::atomic<bool> bDone{false};
    std::exception_ptr pFailure;
    std::jthread worker([&] {
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
    if (!bDone.load(std::memory_order_acquire)) {
        SProgressState state{progress, work, bDone};
        const CDialogBuilder builder = ProgressTemplate(work);
        // The window ends itself once the work has ended, cancelled or not.
        DialogBoxIndirectParamW(GetModuleHandleW(nullptr), builder.Template(), hOwner,
                                ProgressProc, reinterpret_cast<LPARAM>(&state));
    }
    worker.join();
    SetCursor(hOldCursor);
    if (pFailure)
        std::rethrow_exception(pFailure);
    return !progress.IsCancelled();
}
