#include "dialogs/MainController.h"

#include "dialogs/DialogTexts.h"
#include "dialogs/MainDlgTemplate.h"
#include "dialogs/MainView.h"
#include "dialogs/WorkingDirectory.h"
#include "lang/AccessibleTexts.h"
#include "lang/ConfigPath.h"
#include "lang/DialogText.h"
#include "lang/ErrorReason.h"
#include "lang/ExportTexts.h"
#include "lang/FormatsFileTexts.h"
#include "lang/LanguageId.h"
#include "lang/ScanErrorTexts.h"
#include "output/HtmlAppExport.h"
#include "output/HtmlExport.h"
#include "output/ListingBuilder.h"
#include "output/OutputFile.h"
#include "output/TextExport.h"
#include "platform/Time.h"
#include "platform/WorkProgress.h"
#include "scan/DirectoryScanner.h"

CMainController::CMainController(IMainView& view) : m_view(view), m_language(ELanguage::German) {
    const CTime now = CTime::GetCurrentTime();
    m_sampleDir.Set("Name", now, 54321, 123);
    m_sampleFile.Set(4321, "Name.ext", false, false, false, false, true, now, now, now);
}

void CMainController::Start() {
    const SFormatsLoad load = LoadFormats();
    m_language.SetLanguage(LanguageFromId(load.nLanguage));
    SetFlagStates();
    ApplyLanguage();
    // Said once; for the rest of the session the file is neither read nor written again.
    if (load.bUnreadable) {
        m_bFormatsUsable = false;
        m_view.ShowMessage(FormatsUnusableMessage(m_language.GetLanguage(), m_strFormatsPath,
                                                  load.eProblem, load.nErrno),
                           EMessageIcon::Warning);
    }
    m_view.Enable(IDC_COMPUTE_LIST, false);
    EnableExports(false);
    m_view.SetText(IDC_OUTPUT_TITLE, std::string());
    m_view.SetChecked(IDC_RECURSIVE, m_option.m_bRecursive);
}

// formats.def: read, or created with the defaults; the default format is selected. The list
// gets every line in one call.
SFormatsLoad CMainController::LoadFormats() {
    m_strFormatsPath = PrepareFormatsPath();
    SFormatsLoad load = LoadFormatsFile(m_strFormatsPath);
    std::vector<std::string> shown;
    shown.reserve(load.lines.size());
    for (const std::string& strLine : load.lines)
        shown.push_back(ShownLine(strLine));
    m_view.SetFormatList(shown);
    m_listFormats = std::move(load.lines);
    load.lines.clear();
    const int nIndex = SelectByText(m_listFormats, std::string(kDefaultFormat));
    if (nIndex >= 0) {
        m_view.SelectFormat(nIndex);
        OnSelectFormat(nIndex);
    }
    return load;
}

void CMainController::OnSelectFormat(int nIndex) {
    if (nIndex < 0 || nIndex >= static_cast<int>(m_listFormats.size()) || nIndex == m_nCurFormat)
        return;
    m_nCurFormat = nIndex;
    m_strFormat = m_listFormats[static_cast<std::size_t>(nIndex)];
    if (m_format.Validate(m_strFormat)) {
        m_view.Enable(IDC_COMPUTE_LIST, m_bDirChosen);
    } else {
        m_strFormat.clear();
        ShowMessage(kTextFormatInvalid);
        m_view.Enable(IDC_COMPUTE_LIST, false);
    }
    EnableExports(false);
    ShowSamples();
}

void CMainController::ShowSamples() {
    const SRenderedText file = m_format.Render(&m_sampleFile, 0);
    const SRenderedText dir = m_format.Render(&m_sampleDir, 0);
    if (file.bUndefinedField || dir.bUndefinedField)
        ShowMessage(kTextFieldInvalid);
    m_strSampleFile = SampleLine(file.strText);
    m_strSampleDir = SampleLine(dir.strText);
    m_view.SetPlainText(IDC_SAMPLE_FILETEXT, m_strSampleFile);
    m_view.SetPlainText(IDC_SAMPLE_DIRTEXT, m_strSampleDir);
    NameControls();
}

// A new line joins the list and formats.def; the selection follows its text, as the list
// selects by text, and puts the line it selects in use.
void CMainController::OnDefineFormat() {
    const std::optional<std::string> strLine =
        m_view.DefineFormat(m_language, m_sampleFile, m_sampleDir);
    if (!strLine)
        return;
    m_listFormats.push_back(*strLine);
    m_view.AppendFormat(ShownLine(*strLine));
    const int nIndex = SelectByText(m_listFormats, *strLine);
    if (nIndex >= 0) {
        m_view.SelectFormat(nIndex);
        OnSelectFormat(nIndex);
    }
    if (!AppendFormat(*strLine))
        ShowMessage(kTextFormatNotStored); // the line stays usable for this run
}

bool CMainController::AppendFormat(const std::string& strLine) {
    return m_bFormatsUsable && AppendFormatLine(m_strFormatsPath, strLine);
}

void CMainController::ApplyLanguage() {
    ApplyTemplateTexts(m_view, kMainDlgTemplate, m_language);
    m_view.FitTexts();
    if (!m_bDirChosen)
        m_view.SetText(IDC_DIRECTORY_LABEL, m_language.GetText(kTextNoDirectory));
    NameControls();
}

// The controls without a label of their own, named in the shown language from the texts
// around them; a sample line is read with what it shows.
void CMainController::NameControls() {
    const ELanguage eLanguage = m_language.GetLanguage();
    m_view.SetAccessibleName(IDC_FORMATS, NameFromLabel(m_language.GetText(kTextStep3)));
    m_view.SetAccessibleName(IDC_PREVIEW, AccessibleText(EAccessibleText::Preview, eLanguage));
    m_view.SetAccessibleName(IDC_FLAG_GERMAN,
                             AccessibleText(EAccessibleText::FlagGerman, eLanguage));
    m_view.SetAccessibleName(IDC_FLAG_ENGLISH,
                             AccessibleText(EAccessibleText::FlagEnglish, eLanguage));
    m_view.SetAccessibleName(IDC_SAMPLE_FILETEXT,
                             NameBeside(m_language.GetText(kTextSampleFile), m_strSampleFile));
    m_view.SetAccessibleName(IDC_SAMPLE_DIRTEXT,
                             NameBeside(m_language.GetText(kTextSampleDirectory), m_strSampleDir));
}

void CMainController::SetFlagStates() {
    m_view.Enable(IDC_FLAG_GERMAN, m_language.GetLanguage() != ELanguage::German);
    m_view.Enable(IDC_FLAG_ENGLISH, m_language.GetLanguage() != ELanguage::English);
}

// Each flag gives its own language, also when the stored id was neither.
void CMainController::OnLanguageFlag(ELanguage eLanguage) {
    m_language.SetLanguage(eLanguage);
    SetFlagStates();
    ApplyLanguage();
    // No message when it fails.
    if (m_bFormatsUsable)
        SaveLanguageId(m_strFormatsPath, LanguageId(eLanguage));
}

void CMainController::OnSelectDirectory() {
    const std::optional<std::string> strChosen =
        m_view.AskFolder(m_language.GetText(kTextChooserTitle));
    if (strChosen && !strChosen->empty()) {
        m_strDirectory = *strChosen;
        m_view.SetPlainText(IDC_DIRECTORY_LABEL, ElideDirectoryLabel(m_strDirectory));
        // Never a listing from no format: with no line selected it waits for one.
        m_view.Enable(IDC_COMPUTE_LIST, m_nCurFormat >= 0);
        EnableExports(false);
        m_bDirChosen = true;
        m_view.SetText(IDC_PREVIEW, std::string());
    }
    // Also after a cancel: changes on disk and a changed recursive option take effect.
    RebuildTree();
}

void CMainController::RebuildTree() {
    SWorkProgress progress;
    CDirectoryScanner scanner(m_option);
    scanner.SetWorkProgress(&progress);
    const SProgressLabels labels = MakeProgressLabels(
        EProgressText::ReadingTitle, EProgressText::EntriesRead, m_language.GetLanguage());
    m_nScannedAt = CTime::GetCurrentTime().GetTime();
    const bool bComplete = m_view.RunWithProgress(
        progress, labels, [&] { scanner.RebuildTree(m_tree, m_strDirectory); });
    m_scanErrors = scanner.GetScanErrors();
    ChangeToParentDirectory(m_strDirectory);
    if (!bComplete) {
        ForgetDirectory();
        return;
    }
    // A listing that is silently incomplete would pass for a complete one; the tree stays.
    if (!m_scanErrors.empty())
        m_view.ShowMessage(UnreadableDirectoriesMessage(m_language.GetLanguage(), m_scanErrors),
                           EMessageIcon::Warning);
}

// A cancelled scan leaves the state of a cancel before any choice.
void CMainController::ForgetDirectory() {
    m_tree.Clear();
    m_scanErrors.clear();
    m_strDirectory.clear();
    m_bDirChosen = false;
    m_view.SetText(IDC_DIRECTORY_LABEL, m_language.GetText(kTextNoDirectory));
    m_view.Enable(IDC_COMPUTE_LIST, false);
    EnableExports(false);
    m_view.SetText(IDC_PREVIEW, std::string());
}

void CMainController::OnRecursive(bool bChecked) {
    m_option.m_bRecursive = bChecked;
}

void CMainController::OnComputeList() {
    ComputeList();
}

void CMainController::ComputeList() {
    SWorkProgress progress;
    SListingStart listing;
    const SProgressLabels labels = MakeProgressLabels(
        EProgressText::ListingTitle, EProgressText::LinesListed, m_language.GetLanguage());
    const std::string strHeading = m_language.GetText(kTextHeading);
    const bool bRecursive = m_option.m_bRecursive;
    // Only the beginning is kept, for the preview; the clipboard renders the listing again.
    const bool bComplete = m_view.RunWithProgress(progress, labels, [&] {
        listing = BuildListingStart(m_format, m_tree.Root(), m_strDirectory, strHeading, bRecursive,
                                    kPreviewBytes, &progress);
    });
    if (!bComplete)
        return; // a cancelled listing changes nothing
    m_listed = SListingSettings{m_format, strHeading, bRecursive, listing.nTotalBytes};
    if (listing.bUndefinedField)
        ShowMessage(kTextFieldInvalid);
    const SPreviewCut cut = CutPreview(listing.strText);
    m_view.SetText(IDC_OUTPUT_TITLE,
                   m_language.GetText(cut.bShortened ? kTextPreviewTitle : kTextCompleteOutput));
    m_view.SetText(IDC_PREVIEW, std::string(cut.strShown));
    m_view.Enable(IDC_COMPUTE_LIST, false);
    EnableExports(true);
}

SRenderResult CMainController::WriteLastListing(COutputSink& sink) const {
    if (!m_listed)
        return {};
    return WriteListing(sink, m_listed->format, m_tree.Root(), m_strDirectory, m_listed->strHeading,
                        m_listed->bRecursive);
}

std::string CMainController::ListingText() const {
    return RenderToString(nullptr, [&](COutputSink& sink) { return WriteLastListing(sink); })
        .strText;
}

void CMainController::OnAbout() {
    m_view.ShowAbout(m_language);
}

void CMainController::ShowMessage(ETextId eText) {
    m_view.ShowMessage(m_language.GetText(eText), EMessageIcon::None);
}

void CMainController::EnableExports(bool bEnable) {
    m_view.Enable(IDC_EXPORT_CLIPBOARD, bEnable);
    m_view.Enable(IDC_EXPORT_TEXTFILE, bEnable);
    m_view.Enable(IDC_EXPORT_HTML, bEnable);
}

// The whole listing, also when the preview shows only its beginning.
void CMainController::OnExportClipboard() {
    const std::size_t nBytes = m_listed ? m_listed->nBytes : 0;
    const bool bPut = m_view.PutOnClipboard(nBytes, [&](const auto& fnPiece) {
        COutputSink sink(fnPiece);
        WriteLastListing(sink);
        sink.Finish();
    });
    if (!bPut)
        ShowMessage(kTextClipboardFailed);
}

void CMainController::OnExportTextfile() {
    const std::optional<std::string> strSeparator = m_view.AskSeparator(m_language);
    if (!strSeparator)
        return;
    const std::string strHeading = m_language.GetText(kTextHeading);
    const std::optional<std::string> strText = BuildExport([&](SWorkProgress& progress) {
        return BuildTextExport(m_format, m_tree.Root(), m_strDirectory, strHeading, *strSeparator,
                               &progress);
    });
    if (!strText)
        return;
    ReportWriteFailure(SaveToFile(*strText, "txt"));
}

// Two file types: the table page (the default, as it always was) and the browsable page.
void CMainController::OnExportHtml() {
    const ELanguage eLanguage = m_language.GetLanguage();
    const std::vector<SFileType> types = {
        {ExportText(EExportText::HtmlTable, eLanguage), "html"},
        {ExportText(EExportText::BrowsablePage, eLanguage), "html"},
    };
    const std::optional<SSaveChoice> choice = m_view.AskSaveFile("KWL.html", types);
    if (!choice)
        return;
    if (choice->nFileType == 1) {
        ReportWriteFailure(SaveBrowsablePage(choice->strPath));
        return;
    }
    const std::string strTitleWord = m_language.GetText(kTextHtmlTitle);
    const std::string strDirectoryWord = m_language.GetText(kTextDirectory);
    const std::optional<std::string> strHtml = BuildExport([&](SWorkProgress& progress) {
        return BuildHtmlDocument(m_format, m_tree.Root(), m_strDirectory, strTitleWord,
                                 strDirectoryWord, &progress);
    });
    if (!strHtml)
        return;
    SWriteResult written;
    m_view.RunBusy([&] { written = SaveTextToFile(choice->strPath, *strHtml); });
    ReportWriteFailure(written);
}

// Writes the page as it is rendered, with the progress window. A cancelled write leaves the
// target as it was.
SWriteResult CMainController::SaveBrowsablePage(const std::string& strPath) {
    SHtmlAppInfo info;
    info.strRoot = m_strDirectory;
    info.eLanguage = m_language.GetLanguage();
    info.nScannedAt = m_nScannedAt;
    info.errors = m_scanErrors;
    SWorkProgress progress;
    SWriteResult written;
    const bool bComplete = m_view.RunWithProgress(
        progress,
        MakeProgressLabels(EProgressText::ExportTitle, EProgressText::LinesListed,
                           m_language.GetLanguage()),
        [&] {
            written = SaveRenderedToFile(strPath, false, &progress, [&](COutputSink& sink) {
                WriteHtmlAppExport(sink, m_tree.Root(), info);
            });
        });
    return bComplete ? written : SWriteResult{EWriteStatus::Cancelled, 0};
}

// Runs fnBuild (library work only) with the progress window, then reports an undefined field
// once. The text built, none when the user cancelled.
std::optional<std::string>
CMainController::BuildExport(const std::function<SRenderedText(SWorkProgress&)>& fnBuild) {
    SWorkProgress progress;
    SRenderedText built;
    if (!m_view.RunWithProgress(progress,
                                MakeProgressLabels(EProgressText::ExportTitle,
                                                   EProgressText::LinesListed,
                                                   m_language.GetLanguage()),
                                [&] { built = fnBuild(progress); }))
        return std::nullopt;
    if (built.bUndefinedField)
        ShowMessage(kTextFieldInvalid);
    return std::move(built.strText);
}

// Asks for the file, in the one file type of its extension, and writes strText.
SWriteResult CMainController::SaveToFile(const std::string& strText,
                                         const std::string& strExtension) {
    const std::optional<SSaveChoice> choice = m_view.AskSaveFile(
        "KWL." + strExtension,
        {{strExtension + " " + m_language.GetText(kTextFilesWord), strExtension}});
    if (!choice)
        return {EWriteStatus::Cancelled, 0};
    SWriteResult written;
    m_view.RunBusy([&] { written = SaveTextToFile(choice->strPath, strText); });
    return written;
}

// The message of a failed write, with the reason on a line of its own below it.
void CMainController::ReportWriteFailure(const SWriteResult& result) {
    if (result.eStatus != EWriteStatus::Failed)
        return;
    std::string strMessage = m_language.GetText(kTextWriteError);
    // Appended in two steps: GCC 12 warns of an overlapping copy in "\n" + std::string at -O3
    // (GCC bug 105329), which stops the Windows build.
    if (result.nError != 0) {
        strMessage += '\n';
        strMessage += ErrorReason(result.nError, m_language.GetLanguage());
    }
    m_view.ShowMessage(strMessage, EMessageIcon::None);
}
