#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// Drives real windows with real messages, as a user's clicks and keys arrive.
void Click(HWND hDlg, int nId);                   // BM_CLICK on an enabled button
void Tick(HWND hDlg, int nId, bool bTicked);      // a check box clicked until it shows bTicked
void ChooseEntry(HWND hDlg, int nId, int nIndex); // CB_SETCURSEL, then CBN_SELCHANGE
void Type(HWND hDlg, int nId, const std::string& strText); // an edit's text, with EN_CHANGE
std::string TextOf(HWND hDlg, int nId);                    // UTF-8
std::string CaptionOf(HWND hWnd);
bool IsEnabled(HWND hDlg, int nId);
bool IsTicked(HWND hDlg, int nId);
// Handles what is queued for this thread, so posted clicks and timers take effect.
void PumpMessages();

// Answers the modal dialogs that open on this thread, in order: each answer gets the dialog
// (a message box too) once it shows and, from a timer, clicks or types as a user would. A
// dialog beyond the answers given is cancelled, and counted. One at a time.
class CDialogAnswers {
public:
    using FAnswer = std::function<void(HWND hDlg)>;
    explicit CDialogAnswers(std::vector<FAnswer> answers);
    ~CDialogAnswers();
    CDialogAnswers(const CDialogAnswers&) = delete;
    CDialogAnswers& operator=(const CDialogAnswers&) = delete;

    // Captions of the dialogs that opened, and the text of each message box.
    const std::vector<std::string>& Captions() const { return m_captions; }
    const std::vector<std::string>& Messages() const { return m_messages; }
    std::size_t Unexpected() const { return m_nUnexpected; }

private:
    static LRESULT CALLBACK OnCbt(int nCode, WPARAM wParam, LPARAM lParam);
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR nTimer, DWORD);

    std::vector<FAnswer> m_answers;
    std::size_t m_nNext = 0;
    std::vector<HWND> m_seen;    // a dialog is answered once, also when activated again
    std::vector<HWND> m_pending; // shown, not yet answered
    std::vector<std::string> m_captions;
    std::vector<std::string> m_messages;
    std::size_t m_nUnexpected = 0;
    HHOOK m_hHook = nullptr;
    UINT_PTR m_nTimer = 0;
};

// An answer that clicks button nId of the dialog.
CDialogAnswers::FAnswer ClickButton(int nId);
