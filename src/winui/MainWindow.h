#pragma once

#include "dialogs/MainController.h"
#include "dialogs/MainView.h"
#include "winui/Bitmap.h"
#include "winui/DialogView.h"

// The main dialog on Windows: creates the controls of the template, forwards every event to
// its controller and carries out what the controller asks of its view.
class CMainWindow : public CDialogView<IMainView> {
public:
    CMainWindow();

    // Shows the window (modeless: F1 and the other accelerators go through the caller's
    // message loop, see RunMessageLoop).
    HWND Open();
    CMainController& Controller() { return m_controller; }

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

private:
    void OnInit() override;
    void OnCommand(int nId, int nCode) override;
    INT_PTR OnMessage(UINT nMessage, WPARAM wParam, LPARAM lParam) override;
    void ShowAboutItem();

    CBitmap m_flagGerman;
    CBitmap m_flagGermanGrey;
    CBitmap m_flagEnglish;
    CBitmap m_flagEnglishGrey;
    CMainController m_controller;
};

// The program's message loop: dialog keys (Tab, mnemonics, Esc) and the accelerators (F1)
// for the main window. Returns the code PostQuitMessage gave.
int RunMessageLoop(CMainWindow& window);
