#include "RecordingView.h"

#include <utility>

#include "dialogs/MainDlgTemplate.h"
#include "dialogs/ProgressDlgTemplate.h"
#include "platform/WorkProgress.h"

namespace {

template <class T> T ValueOr(const std::map<int, T>& values, int nId, T fallback) {
    const auto it = values.find(nId);
    return it != values.end() ? it->second : fallback;
}

template <class T> std::optional<T> TakeOnce(std::optional<T>& answer) {
    return std::exchange(answer, std::nullopt);
}

} // namespace

CRecordingView::CRecordingView(const SDialogTemplate& dlg) {
    for (const SControlTemplate& row : dlg.controls) {
        m_enabled[row.nId] = (row.nFlags & kDisabled) == 0;
        m_shown[row.nId] = (row.nFlags & kHidden) == 0;
        if (row.pszText != nullptr)
            m_texts[row.nId] = row.pszText;
    }
}

void CRecordingView::SetText(int nId, const std::string& strText) {
    m_texts[nId] = strText;
}

void CRecordingView::SetPlainText(int nId, const std::string& strText) {
    m_texts[nId] = strText;
}

std::string CRecordingView::GetText(int nId) const {
    return Text(nId);
}

void CRecordingView::Enable(int nId, bool bEnable) {
    m_enabled[nId] = bEnable;
}

void CRecordingView::Show(int nId, bool bShow) {
    m_shown[nId] = bShow;
}

bool CRecordingView::IsChecked(int nId) const {
    return ValueOr(m_checked, nId, false);
}

void CRecordingView::SetChecked(int nId, bool bChecked) {
    m_checked[nId] = bChecked;
}

void CRecordingView::SetAccessibleName(int nId, const std::string& strName) {
    m_names[nId] = strName;
}

void CRecordingView::SetTip(int nId, const std::string& strTip) {
    m_tips[nId] = strTip;
}

void CRecordingView::ShowMessage(const std::string& strText, EMessageIcon eIcon) {
    messages.push_back({strText, eIcon});
}

std::string CRecordingView::Text(int nId) const {
    return ValueOr(m_texts, nId, std::string());
}

bool CRecordingView::IsEnabled(int nId) const {
    return ValueOr(m_enabled, nId, true);
}

bool CRecordingView::IsShown(int nId) const {
    return ValueOr(m_shown, nId, true);
}

std::string CRecordingView::Name(int nId) const {
    return ValueOr(m_names, nId, std::string());
}

std::string CRecordingView::Tip(int nId) const {
    return ValueOr(m_tips, nId, std::string());
}

CRecordingMainView::CRecordingMainView() : CRecordingView(kMainDlgTemplate) {}

void CRecordingMainView::SetFormatList(const std::vector<std::string>& shownLines) {
    formatList = shownLines;
    nSelectedFormat = -1;
}

void CRecordingMainView::AppendFormat(const std::string& strShownLine) {
    formatList.push_back(strShownLine);
}

void CRecordingMainView::SelectFormat(int nIndex) {
    nSelectedFormat = nIndex;
}

std::optional<std::string> CRecordingMainView::AskFolder(const std::string& strTitle) {
    strFolderTitle = strTitle;
    return TakeOnce(folderAnswer);
}

std::optional<SSaveChoice> CRecordingMainView::AskSaveFile(const std::string& strName,
                                                           const std::vector<SFileType>& types) {
    strSaveName = strName;
    saveTypes = types;
    return TakeOnce(saveAnswer);
}

bool CRecordingMainView::PutOnClipboard(std::size_t, const FTextPieces& fnWrite) {
    if (!bClipboardWorks)
        return false;
    std::string strText;
    fnWrite([&](std::string_view strPiece) { strText += strPiece; });
    clipboard = std::move(strText);
    return true;
}

std::optional<std::string> CRecordingMainView::DefineFormat(const CLanguage&,
                                                            const CFileInformation&,
                                                            const CDirInformation&) {
    return TakeOnce(defineAnswer);
}

std::optional<std::string> CRecordingMainView::AskSeparator(const CLanguage&) {
    return TakeOnce(separatorAnswer);
}

void CRecordingMainView::ShowAbout(const CLanguage&) {
    ++nAboutShown;
}

// On the caller's thread: the progress window's timing is the window's business.
bool CRecordingMainView::RunWithProgress(SWorkProgress& progress, const SProgressLabels& labels,
                                         const std::function<void()>& fnWork) {
    progressRuns.push_back(labels);
    if (std::exchange(bCancelNextWork, false))
        progress.Cancel();
    fnWork();
    return !progress.IsCancelled();
}

void CRecordingMainView::RunBusy(const std::function<void()>& fn) {
    fn();
}

CRecordingProgressView::CRecordingProgressView() : CRecordingView(kProgressDlgTemplate) {}
