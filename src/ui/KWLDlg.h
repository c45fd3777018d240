#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "format/FormatsFile.h"
#include "format/KWLFormat.h"
#include "model/ItemTree.h"
#include "model/KWLOption.h"
#include "model/ScanError.h"
#include "output/OutputSink.h"
#include "output/WriteResult.h"
#include "platform/WorkProgress.h"
#include "dialogs/MainDlgTemplate.h"
#include "ui/DialogTemplate.h"
#include "lang/Language.h"

class wxBitmapButton;
class wxComboBox;

// The main dialog: owns the engine, the tree, the format list and the catalogue, and routes
// every button to the library function that does the work.
class CKWLDlg : public CTemplateDialog {
public:
    explicit CKWLDlg(wxWindow* pParent = nullptr);

    // State the tests read; the dialog itself keeps to its controls.
    const CLanguage& Language() const { return *m_pLanguage; }
    const std::string& FormatsPath() const { return m_strFormatsPath; }
    // The complete text of the last listing, as the clipboard receives it.
    std::string ListingText() const;
    const std::vector<std::string>& FormatLines() const { return m_listFormats; }
    const std::string& SelectedFormat() const { return m_strFormat; }
    const CKWLFormat& Format() const { return m_format; }
    const CDirInformation* Root() const { return m_tree.Root(); }
    bool IsDirChosen() const { return m_bDirChosen; }

private:
    // Start-up and format selection.
    void OnInitDialog();
    SFormatsLoad LoadFormats();
    void OnSelectFormat();
    void ShowSamples();
    // Format definition.
    void OnDefineFormat(wxCommandEvent& event);
    bool AppendFormat(const std::string& strLine);
    // Language.
    void ApplyLanguage();
    void NameControls();
    void OnLanguageFlag(ELanguage eLanguage);
    void SetFlagStates();
    // Directory and listing.
    void OnSelectDirectory(wxCommandEvent& event);
    void RebuildTree();
    void ForgetDirectory();
    void OnRecursive(wxCommandEvent& event);
    void OnComputeList(wxCommandEvent& event);
    void ComputeList();
    SRenderResult WriteLastListing(COutputSink& sink) const;
    // Exports and the other dialogs.
    void OnAbout(wxCommandEvent& event);
    void ShowMessage(ETextId eText);
    void EnableExports(bool bEnable);
    void OnExportClipboard(wxCommandEvent& event);
    void OnExportTextfile(wxCommandEvent& event);
    void OnExportHtml(wxCommandEvent& event);
    std::optional<std::string>
    BuildExport(const std::function<SRenderedText(SWorkProgress&)>& fnBuild);
    SWriteResult SaveToFile(const std::string& strText, const std::string& strExtension);
    void ReportWriteFailure(const SWriteResult& result);
    std::optional<std::string> AskSavePath(const wxString& strName, const wxString& strWildcard,
                                           int* pnFileType = nullptr);
    SWriteResult SaveBrowsablePage(const std::string& strPath);

    CKWLFormat m_format;
    CKWLOption m_option;
    CDirInformation m_sampleDir;
    CFileInformation m_sampleFile;
    wxComboBox* m_comboFormats = nullptr;
    std::string m_strDirectory;
    std::string m_strFormatsPath; // formats.def in the configuration folder
    std::unique_ptr<CLanguage> m_pLanguage;
    wxBitmapButton* m_btnGerman = nullptr;
    wxBitmapButton* m_btnEnglish = nullptr;
    CItemTree m_tree;
    std::vector<SScanError> m_scanErrors; // of the last scan, for the browsable page
    std::int64_t m_nScannedAt = 0;
    // What the last Compute List rendered, so the clipboard can render it again: the text
    // itself is not kept, it takes about as much memory as the tree.
    struct SListingSettings {
        CKWLFormat format;
        std::string strHeading;
        bool bRecursive = false;
        std::size_t nBytes = 0; // of the whole text
    };
    std::optional<SListingSettings> m_listed;
    std::string m_strFormat;
    bool m_bDirChosen = false;
    bool m_bFormatsUsable = true; // formats.def may be written in this session
    int m_nCurFormat = -1;
    std::vector<std::string> m_listFormats;
};
