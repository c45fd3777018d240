#include "WindowDriver.h"

#include <commctrl.h>

#include "support/windows/Wide.h"

void Click(HWND hDlg, int nId) {
    const HWND hButton = GetDlgItem(hDlg, nId);
    if (hButton != nullptr && IsWindowEnabled(hButton))
        SendMessageW(hButton, BM_CLICK, 0, 0);
}

void Tick(HWND hDlg, int nId, bool bTicked) {
    if (IsTicked(hDlg, nId) != bTicked)
        Click(hDlg, nId);
}

void ChooseEntry(HWND hDlg, int nId, int nIndex) {
    const HWND hCombo = GetDlgItem(hDlg, nId);
    SendMessageW(hCombo, CB_SETCURSEL, static_cast<WPARAM>(nIndex), 0);
    SendMessageW(hDlg, WM_COMMAND, MAKEWPARAM(nId, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(hCombo));
}

void Type(HWND hDlg, int nId, const std::string& strText) {
    SetWindowTextW(GetDlgItem(hDlg, nId), Widen(strText).c_str()); // an edit sends EN_CHANGE
}

std::string CaptionOf(HWND hWnd) {
    std::wstring strText(static_cast<std::size_t>(GetWindowTextLengthW(hWnd)) + 1, L'\0');
    strText.resize(static_cast<std::size_t>(
        GetWindowTextW(hWnd, strText.data(), static_cast<int>(strText.size()))));
    return Narrow(strText);
}

std::string TextOf(HWND hDlg, int nId) {
    return CaptionOf(GetDlgItem(hDlg, nId));
}

bool IsEnabled(HWND hDlg, int nId) {
    return IsWindowEnabled(GetDlgItem(hDlg, nId)) != FALSE;
}

bool IsTicked(HWND hDlg, int nId) {
    return IsDlgButtonChecked(hDlg, nId) == BST_CHECKED;
}

void PumpMessages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

namespace {
CDialogAnswers* g_pAnswers = nullptr;
constexpr UINT kAnswerDelayMs = 50;
// A message box's text has this id.
constexpr int kMessageBoxText = 0xFFFF;
} // namespace

CDialogAnswers::CDialogAnswers(std::vector<FAnswer> answers) : m_answers(std::move(answers)) {
    g_pAnswers = this;
    m_hHook = SetWindowsHookExW(WH_CBT, OnCbt, nullptr, GetCurrentThreadId());
}

CDialogAnswers::~CDialogAnswers() {
    UnhookWindowsHookEx(m_hHook);
    if (m_nTimer != 0)
        KillTimer(nullptr, m_nTimer);
    g_pAnswers = nullptr;
}

// A dialog (window class #32770) that becomes active is answered from a timer, once it has
// shown: the hook itself runs in the middle of its activation.
LRESULT CALLBACK CDialogAnswers::OnCbt(int nCode, WPARAM wParam, LPARAM lParam) {
    if (nCode == HCBT_ACTIVATE && g_pAnswers != nullptr) {
        const auto hWnd = reinterpret_cast<HWND>(wParam);
        wchar_t szClass[16] = {};
        GetClassNameW(hWnd, szClass, 16);
        bool bKnown = false;
        for (HWND hSeen : g_pAnswers->m_seen)
            bKnown = bKnown || hSeen == hWnd;
        if (lstrcmpW(szClass, L"#32770") == 0 && !bKnown) {
            g_pAnswers->m_seen.push_back(hWnd);
            g_pAnswers->m_pending.push_back(hWnd);
            if (g_pAnswers->m_nTimer == 0)
                g_pAnswers->m_nTimer = SetTimer(nullptr, 0, kAnswerDelayMs, OnTimer);
        }
    }
    return CallNextHookEx(nullptr, nCode, wParam, lParam);
}

void CALLBACK CDialogAnswers::OnTimer(HWND, UINT, UINT_PTR, DWORD) {
    CDialogAnswers* pThis = g_pAnswers;
    if (pThis == nullptr || pThis->m_pending.empty())
        return;
    KillTimer(nullptr, pThis->m_nTimer);
    pThis->m_nTimer = 0;
    const std::vector<HWND> pending = std::move(pThis->m_pending);
    pThis->m_pending.clear();
    for (HWND hDlg : pending) {
        if (!IsWindow(hDlg))
            continue;
        pThis->m_captions.push_back(CaptionOf(hDlg));
        if (GetDlgItem(hDlg, kMessageBoxText) != nullptr)
            pThis->m_messages.push_back(TextOf(hDlg, kMessageBoxText));
        if (pThis->m_nNext < pThis->m_answers.size()) {
            pThis->m_answers[pThis->m_nNext++](hDlg);
        } else {
            ++pThis->m_nUnexpected;
            PostMessageW(hDlg, WM_COMMAND, IDCANCEL, 0);
        }
    }
}

CDialogAnswers::FAnswer ClickButton(int nId) {
    return [nId](HWND hDlg) { PostMessageW(GetDlgItem(hDlg, nId), BM_CLICK, 0, 0); };
}
