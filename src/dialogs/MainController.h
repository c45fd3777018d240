#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "format/FormatsFile.h"
#include "format/KWLFormat.h"
#include "format/RenderResult.h"
#include "lang/Language.h"
#include "model/ItemTree.h"
#include "model/KWLOption.h"
#include "model/ScanError.h"
#include "output/OutputSink.h"
#include "output/WriteResult.h"

class IMainView;
struct SWorkProgress;

// What the main dialog decides: owns the tree, the format list, the catalogue and the option,
// routes every button to the library function that does the work, and keeps its window's
// controls in step through the view.
class CMainController {
public:
    explicit CMainController(IMainView& view);

    // Reads (or creates) formats.def, takes its language and sets every control's text and
    // state; says once when the file cannot be used.
    void Start();

    // Events of the window.
    void OnSelectFormat(int nIndex);
    void OnDefineFormat();
    void OnLanguageFlag(ELanguage eLanguage);
    void OnSelectDirectory();
    void OnRecursive(bool bChecked);
    void OnComputeList();
    void OnAbout();
    void OnExportClipboard();
    void OnExportTextfile();
    void OnExportHtml();

    // State the window and the tests read.
    const CLanguage& Language() const { return m_language; }
    const std::string& FormatsPath() const { return m_strFormatsPath; }
    // The complete text of the last listing, as the clipboard receives it.
    std::string ListingText() const;
    const std::vector<std::string>& FormatLines() const { return m_listFormats; }
    const std::string& SelectedFormat() const { return m_strFormat; }
    const CKWLFormat& Format() const { return m_format; }
    const CDirInformation* Root() const { return m_tree.Root(); }
    bool IsDirChosen() const { return m_bDirChosen; }
    bool IsRecursive() const { return m_option.m_bRecursive; }

private:
    SFormatsLoad LoadFormats();
    void ShowSamples();
    bool AppendFormat(const std::string& strLine);
    void ApplyLanguage();
    void NameControls();
    void SetFlagStates();
    void RebuildTree();
    void ForgetDirectory();
    void ComputeList();
    SRenderResult WriteLastListing(COutputSink& sink) const;
    void ShowMessage(ETextId eText);
    void EnableExports(bool bEnable);
    std::optional<std::string>
    BuildExport(const std::function<SRenderedText(SWorkProgress&)>& fnBuild);
    SWriteResult SaveToFile(const std::string& strText, const std::string& strExtension);
    SWriteResult SaveBrowsablePage(const std::string& strPath);
    void ReportWriteFailure(const SWriteResult& result);

    IMainView& m_view;
    CKWLFormat m_format;
    CKWLOption m_option;
    CDirInformation m_sampleDir;
    CFileInformation m_sampleFile;
    std::string m_strDirectory;
    std::string m_strFormatsPath; // formats.def in the configuration folder
    CLanguage m_language;
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
    std::string m_strSampleFile; // the sample lines as shown
    std::string m_strSampleDir;
    bool m_bDirChosen = false;
    bool m_bFormatsUsable = true; // formats.def may be written in this session
    int m_nCurFormat = -1;
    std::vector<std::string> m_listFormats;
};
