#include "ui/ProgressDlg.h"

#include <wx/button.h>
#include <wx/gauge.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/utils.h>

#include <atomic>
#include <exception>
#include <thread>

#include "ui/AccessibleName.h"
#include "ui/WxText.h"

SProgressLabels MakeProgressLabels(EProgressText eTitle, EProgressText eCount,
                                   ELanguage eLanguage) {
    return {ToWx(ProgressText(eTitle, eLanguage)), ToWx(ProgressText(eCount, eLanguage)),
            ToWx(ProgressText(EProgressText::Cancel, eLanguage)),
            ToWx(ProgressText(EProgressText::Cancelling, eLanguage)),
            eLanguage == ELanguage::German ? '.' : ','};
}

CProgressDlg::CProgressDlg(wxWindow* pParent, SWorkProgress& progress,
                           const SProgressLabels& labels, std::function<bool()> fnDone)
    : wxDialog(pParent, wxID_ANY, labels.strTitle, wxDefaultPosition, wxDefaultSize,
               wxCAPTION),
      m_progress(progress), m_labels(labels), m_fnDone(std::move(fnDone)), m_timer(this) {
    auto* pSizer = new wxBoxSizer(wxVERTICAL);
    m_pCount = new wxStaticText(this, wxID_ANY, wxString(), wxDefaultPosition,
                                wxSize(ConvertDialogToPixels(wxSize(160, 8)).x, -1),
                                wxST_NO_AUTORESIZE);
    m_pGauge = new wxGauge(this, wxID_ANY, 100);
    m_pCancel = new wxButton(this, wxID_CANCEL, labels.strCancel);
    pSizer->Add(m_pCount, 0, wxEXPAND | wxALL, 12);
    pSizer->Add(m_pGauge, 0, wxEXPAND | wxLEFT | wxRIGHT, 12);
    pSizer->Add(m_pCancel, 0, wxALIGN_RIGHT | wxALL, 12);
    SetSizerAndFit(pSizer);
    SetAccessibleName(*m_pGauge, labels.strTitle); // the bar shows the work that the title names
    CentreOnParent();
    ShowCount();
    Bind(wxEVT_TIMER, &CProgressDlg::OnTimer, this);
    m_pCancel->Bind(wxEVT_BUTTON, &CProgressDlg::OnCancel, this);
    m_timer.Start(static_cast<int>(kProgressRefresh.count()));
}

void CProgressDlg::ShowCount() {
    m_pCount->SetLabel(wxString::Format(
        m_labels.strCountFormat, GroupedCount(m_progress.nDone.load(), m_labels.cGroupSeparator)));
    m_pGauge->Pulse();
}

void CProgressDlg::OnTimer(wxTimerEvent&) {
    if (m_fnDone()) {
        m_timer.Stop();
        EndModal(m_progress.IsCancelled() ? wxID_CANCEL : wxID_OK);
        return;
    }
    ShowCount();
}

// The work stops at its next check; the window stays until it has.
void CProgressDlg::OnCancel(wxCommandEvent&) {
    m_progress.Cancel();
    m_pCancel->Disable();
    m_pCount->SetLabel(m_labels.strCancelling);
}

bool RunWithProgress(wxWindow* pParent, SWorkProgress& progress, const SProgressLabels& labels,
                     const std::function<void()>& fnWork) {
    wxBusyCursor busy;
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
    if (!bDone.load(std::memory_order_acquire)) {
        CProgressDlg dlg(pParent, progress, labels,
                         [&bDone] { return bDone.load(std::memory_order_acquire); });
        if (dlg.ShowModal() != wxID_OK)
            progress.Cancel();
    }
    worker.join();
    if (pFailure)
        std::rethrow_exception(pFailure);
    return !progress.IsCancelled();
}

wxString GroupedCount(std::uint64_t nCount, char cSeparator) {
    wxString strDigits = wxString::Format("%llu", static_cast<unsigned long long>(nCount));
    for (int nPos = static_cast<int>(strDigits.length()) - 3; nPos > 0; nPos -= 3)
        strDigits.insert(static_cast<std::size_t>(nPos), 1, cSeparator);
    return strDigits;
}
