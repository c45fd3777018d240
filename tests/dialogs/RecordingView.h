#pragma once

// Stand-ins for the windows: they keep what the controllers set, per control id, and answer
// the dialogs a window would open with what the test put in place beforehand.

#include <cstddef>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "dialogs/DialogTemplate.h"
#include "dialogs/MainView.h"
#include "dialogs/ProgressView.h"

class CRecordingView : public virtual IDialogView {
public:
    // The controls' start states, as a window created from the template has them.
    explicit CRecordingView(const SDialogTemplate& dlg);

    void SetText(int nId, const std::string& strText) override;
    void SetPlainText(int nId, const std::string& strText) override;
    std::string GetText(int nId) const override;
    void ShowTextEnd(int) override {}
    void Enable(int nId, bool bEnable) override;
    void Show(int nId, bool bShow) override;
    bool IsChecked(int nId) const override;
    void SetChecked(int nId, bool bChecked) override;
    void SetAccessibleName(int nId, const std::string& strName) override;
    void SetTip(int nId, const std::string& strTip) override;
    void ShowMessage(const std::string& strText, EMessageIcon eIcon) override;
    void FitTexts() override {}

    // What the user sees: a control's text, state, name; the messages shown so far.
    std::string Text(int nId) const;
    bool IsEnabled(int nId) const;
    bool IsShown(int nId) const;
    std::string Name(int nId) const;
    std::string Tip(int nId) const;
    struct SMessage {
        std::string strText;
        EMessageIcon eIcon;
    };
    std::vector<SMessage> messages;

private:
    std::map<int, std::string> m_texts;
    std::map<int, bool> m_enabled;
    std::map<int, bool> m_shown;
    std::map<int, bool> m_checked;
    std::map<int, std::string> m_names;
    std::map<int, std::string> m_tips;
};

class CRecordingMainView : public CRecordingView, public IMainView {
public:
    CRecordingMainView();

    void SetFormatList(const std::vector<std::string>& shownLines) override;
    void AppendFormat(const std::string& strShownLine) override;
    void SelectFormat(int nIndex) override;
    std::optional<std::string> AskFolder(const std::string& strTitle) override;
    std::optional<SSaveChoice> AskSaveFile(const std::string& strName,
                                           const std::vector<SFileType>& types) override;
    bool PutOnClipboard(std::size_t nBytes, const FTextPieces& fnWrite) override;
    std::optional<std::string> DefineFormat(const CLanguage& language,
                                            const CFileInformation& sampleFile,
                                            const CDirInformation& sampleDir) override;
    std::optional<std::string> AskSeparator(const CLanguage& language) override;
    void ShowAbout(const CLanguage& language) override;
    bool RunWithProgress(SWorkProgress& progress, const SProgressLabels& labels,
                         const std::function<void()>& fnWork) override;
    void RunBusy(const std::function<void()>& fn) override;

    // The format list as shown, and its selection.
    std::vector<std::string> formatList;
    int nSelectedFormat = -1;

    // Answers of the dialogs, taken once each (none: the user cancels).
    std::optional<std::string> folderAnswer;
    std::optional<SSaveChoice> saveAnswer;
    std::optional<std::string> defineAnswer;
    std::optional<std::string> separatorAnswer;
    // What the dialogs were opened with.
    std::string strFolderTitle;
    std::string strSaveName;
    std::vector<SFileType> saveTypes;
    int nAboutShown = 0;

    // The clipboard: whether it can be opened, and what it holds.
    bool bClipboardWorks = true;
    std::optional<std::string> clipboard;

    // Whether the progress window's Cancel is pressed before the next work runs; the labels
    // of each work run.
    bool bCancelNextWork = false;
    std::vector<SProgressLabels> progressRuns;
};

class CRecordingProgressView : public CRecordingView, public IProgressView {
public:
    CRecordingProgressView();

    void PulseBar(int) override { ++nPulses; }
    void EndProgress(bool bCompleted) override { ended = bCompleted; }

    int nPulses = 0;
    std::optional<bool> ended; // set once the window ended: whether the work completed
};
