#pragma once

#include <string>
#include <vector>

#include "dialogs/MainController.h"
#include "dialogs/MainDlgTemplate.h"
#include "dialogs/MainView.h"
#include "ui/DialogTemplate.h"

class wxComboBox;

// The main dialog's window: its controls, the dialogs it opens and the events it forwards to
// CMainController, which decides.
class CKWLDlg : public CTemplateDialog, public IMainView {
public:
    explicit CKWLDlg(wxWindow* pParent = nullptr);

    // State the tests read; the controller keeps it.
    const CLanguage& Language() const { return m_controller.Language(); }
    const std::string& FormatsPath() const { return m_controller.FormatsPath(); }
    // The complete text of the last listing, as the clipboard receives it.
    std::string ListingText() const { return m_controller.ListingText(); }
    const std::vector<std::string>& FormatLines() const { return m_controller.FormatLines(); }
    const std::string& SelectedFormat() const { return m_controller.SelectedFormat(); }
    const CKWLFormat& Format() const { return m_controller.Format(); }
    const CDirInformation* Root() const { return m_controller.Root(); }
    bool IsDirChosen() const { return m_controller.IsDirChosen(); }

    // The view.
    void FitTexts() override;
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
    void LoadFlags();

    wxComboBox* m_comboFormats = nullptr;
    CMainController m_controller;
};
