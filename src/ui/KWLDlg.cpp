#include "ui/KWLDlg.h"

#include <wx/accel.h>
#include <wx/bmpbuttn.h>
#include <wx/checkbox.h>
#include <wx/clipbrd.h>
#include <wx/combobox.h>
#include <wx/dirdlg.h>
#include <wx/filedlg.h>
#include <wx/icon.h>
#include <wx/msgdlg.h>
#include <wx/stattext.h>
#include <wx/stockitem.h>
#include <wx/textctrl.h>
#include <wx/utils.h>

#include <optional>

#include "format/FormatsFile.h"
#include "lang/AccessibleTexts.h"
#include "lang/ConfigPath.h"
#include "lang/DialogText.h"
#include "lang/ErrorReason.h"
#include "lang/FormatsFileTexts.h"
#include "lang/ProgressTexts.h"
#include "lang/ScanErrorTexts.h"
#include "lang/TextId.h"
#include "lang/ExportTexts.h"
#include "output/HtmlAppExport.h"
#include "output/HtmlExport.h"
#include "output/ListingBuilder.h"
#include "output/OutputFile.h"
#include "output/OutputSink.h"
#include "output/TextExport.h"
#include "platform/Time.h"
#include "platform/WorkProgress.h"
#include "scan/DirectoryScanner.h"
#include "ui/AboutDlg.h"
#include "ui/FormatDefDlg.h"
#include "ui/ProgressDlg.h"
#include "ui/SeparatorDlg.h"
#include "ui/WorkingDirectory.h"
#include "ui/WxText.h"

#include "../res/flag_de.xpm"
#include "../res/flag_de_grey.xpm"
#include "../res/flag_en.xpm"
#include "../res/flag_en_grey.xpm"
#include "../res/icon.xpm"

namespace {

// The U, D and F pictures are the same flag; X is the flag in grey.
void LoadFlag(wxBitmapButton* pButton, const char* const* xpmFlag, const char* const* xpmGrey,
              const wxString& strLanguageName) {
    const wxBitmap flag(xpmFlag);
    pButton->SetBitmapLabel(flag);
    pButton->SetBitmapPressed(flag);
    pButton->SetBitmapFocus(flag);
    pButton->SetBitmapDisabled(wxBitmap(xpmGrey));
    pButton->SetToolTip(strLanguageName);
}

} // namespace

CKWLDlg::CKWLDlg(wxWindow* pParent)
    : CTemplateDialog(pParent, kMainDlgTemplate.pszCaption, kMainDlgTemplate),
      m_pLanguage(std::make_unique<CLanguage>(ELanguage::German)) {
    const CTime now = CTime::GetCurrentTime();
    m_sampleDir.Set("Name", now, 54321, 123);
    m_sampleFile.Set(4321, "Name.ext", false, false, false, false, true, now, now, now);
    m_comboFormats = ControlAs<wxComboBox>(IDC_FORMATS);
    m_btnGerman = ControlAs<wxBitmapButton>(IDC_FLAG_GERMAN);
    m_btnEnglish = ControlAs<wxBitmapButton>(IDC_FLAG_ENGLISH);
    SetEscapeId(IDC_QUIT); // Quit, Esc and the close box end the dialog

    Control(IDC_SELECT_DIRECTORY)->Bind(wxEVT_BUTTON, &CKWLDlg::OnSelectDirectory, this);
    Control(IDC_COMPUTE_LIST)->Bind(wxEVT_BUTTON, &CKWLDlg::OnComputeList, this);
    Control(IDC_RECURSIVE)->Bind(wxEVT_CHECKBOX, &CKWLDlg::OnRecursive, this);
    m_comboFormats->Bind(wxEVT_COMBOBOX, [this](wxCommandEvent&) { OnSelectFormat(); });
    Control(IDC_DEFINE_FORMAT)->Bind(wxEVT_BUTTON, &CKWLDlg::OnDefineFormat, this);
    // Each flag gives its own language, also when the stored id was neither.
    m_btnGerman->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnLanguageFlag(ELanguage::German); });
    m_btnEnglish->Bind(wxEVT_BUTTON,
                       [this](wxCommandEvent&) { OnLanguageFlag(ELanguage::English); });
    Bind(wxEVT_MENU, &CKWLDlg::OnAbout, this, ID_ABOUT);
    Control(IDC_EXPORT_CLIPBOARD)->Bind(wxEVT_BUTTON, &CKWLDlg::OnExportClipboard, this);
    Control(IDC_EXPORT_TEXTFILE)->Bind(wxEVT_BUTTON, &CKWLDlg::OnExportTextfile, this);
    Control(IDC_EXPORT_HTML)->Bind(wxEVT_BUTTON, &CKWLDlg::OnExportHtml, this);

    OnInitDialog();
}

void CKWLDlg::OnInitDialog() {
    const SFormatsLoad load = LoadFormats();
    m_pLanguage->SetLanguage(LanguageFromId(load.nLanguage));
    LoadFlag(m_btnGerman, flag_de_xpm, flag_de_grey_xpm, "Deutsch");
    LoadFlag(m_btnEnglish, flag_en_xpm, flag_en_grey_xpm, "English");
    SetFlagStates();
    ApplyLanguage();
    // Said once; for the rest of the session the file is neither read nor written again.
    if (load.bUnreadable) {
        m_bFormatsUsable = false;
        wxMessageBox(ToWx(FormatsUnusableMessage(m_pLanguage->GetLanguage(), m_strFormatsPath,
                                                 load.eProblem, load.nErrno)),
                     kAppName, wxOK | wxICON_WARNING, this);
    }
    SetIcon(wxIcon(icon_xpm));
    wxAcceleratorEntry f1(wxACCEL_NORMAL, WXK_F1, ID_ABOUT);
    SetAcceleratorTable(wxAcceleratorTable(1, &f1));
    EnableControl(IDC_COMPUTE_LIST, false);
    EnableExports(false);
    SetControlText(IDC_OUTPUT_TITLE, wxString());
    ControlAs<wxCheckBox>(IDC_RECURSIVE)->SetValue(m_option.m_bRecursive);
    Control(IDC_RECURSIVE)->SetFocus();
}

// formats.def: read, or created with the defaults; the default format is selected. The combo
// box gets every line in one call.
SFormatsLoad CKWLDlg::LoadFormats() {
    m_strFormatsPath = PrepareFormatsPath();
    SFormatsLoad load = LoadFormatsFile(m_strFormatsPath);
    wxArrayString entries;
    entries.reserve(load.lines.size());
    for (const std::string& strLine : load.lines)
        entries.push_back(ToWx(ShownLine(strLine)));
    m_comboFormats->Set(entries);
    m_listFormats = std::move(load.lines);
    load.lines.clear();
    const int nIndex = SelectByText(m_listFormats, std::string(kDefaultFormat));
    if (nIndex >= 0)
        m_comboFormats->SetSelection(nIndex);
    OnSelectFormat();
    return load;
}

void CKWLDlg::OnSelectFormat() {
    const int nIndex = m_comboFormats->GetSelection();
    if (nIndex == wxNOT_FOUND || nIndex == m_nCurFormat)
        return;
    m_nCurFormat = nIndex;
    m_strFormat = m_listFormats[static_cast<std::size_t>(nIndex)];
    if (m_format.Validate(m_strFormat)) {
        EnableControl(IDC_COMPUTE_LIST, m_bDirChosen);
    } else {
        m_strFormat.clear();
        ShowMessage(kTextFormatInvalid);
        EnableControl(IDC_COMPUTE_LIST, false);
    }
    EnableExports(false);
    ShowSamples();
}

void CKWLDlg::ShowSamples() {
    const SRenderedText file = m_format.Render(&m_sampleFile, 0);
    const SRenderedText dir = m_format.Render(&m_sampleDir, 0);
    if (file.bUndefinedField || dir.bUndefinedField)
        ShowMessage(kTextFieldInvalid);
    SetPlainText(IDC_SAMPLE_FILETEXT, ToWx(SampleLine(file.strText)));
    SetPlainText(IDC_SAMPLE_DIRTEXT, ToWx(SampleLine(dir.strText)));
    NameControls();
}

// A new line joins the list and formats.def; the selection follows its text, as the combo
// box selects by text, and puts the line it selects in use.
void CKWLDlg::OnDefineFormat(wxCommandEvent&) {
    std::string strLine;
    {
        CFormatDefDlg dlg(this, *m_pLanguage, m_sampleFile, m_sampleDir);
        if (dlg.ShowModal() != IDC_FD_OK)
            return;
        strLine = dlg.GetFormat();
    }
    m_listFormats.push_back(strLine);
    m_comboFormats->Append(ToWx(ShownLine(strLine)));
    const int nIndex = SelectByText(m_listFormats, strLine);
    if (nIndex >= 0)
        m_comboFormats->SetSelection(nIndex);
    OnSelectFormat();
    if (!AppendFormat(strLine))
        ShowMessage(kTextFormatNotStored); // the line stays usable for this run
}

bool CKWLDlg::AppendFormat(const std::string& strLine) {
    return m_bFormatsUsable && AppendFormatLine(m_strFormatsPath, strLine);
}

void CKWLDlg::ApplyLanguage() {
    ApplyTexts(*m_pLanguage);
    FitLeftwards(IDC_COMPUTE_LIST, kComputeListLeftmostDlu);
    WidenToFit({IDC_RECURSIVE}, kRecursiveRightmostDlu);
    if (!m_bDirChosen)
        SetControlText(IDC_DIRECTORY_LABEL, ToWx(m_pLanguage->GetText(kTextNoDirectory)));
    NameControls();
}

// The controls without a label of their own, named in the shown language from the texts
// around them; a sample line is read with what it shows.
void CKWLDlg::NameControls() {
    const CLanguage& language = *m_pLanguage;
    const ELanguage eLanguage = language.GetLanguage();
    NameControl(IDC_FORMATS, NameFromLabel(language.GetText(kTextStep3)));
    NameControl(IDC_PREVIEW, AccessibleText(EAccessibleText::Preview, eLanguage));
    NameControl(IDC_FLAG_GERMAN, AccessibleText(EAccessibleText::FlagGerman, eLanguage));
    NameControl(IDC_FLAG_ENGLISH, AccessibleText(EAccessibleText::FlagEnglish, eLanguage));
    const auto shown = [this](int nId) {
        return FromWx(ControlAs<wxStaticText>(nId)->GetLabelText());
    };
    NameControl(IDC_SAMPLE_FILETEXT,
                NameBeside(language.GetText(kTextSampleFile), shown(IDC_SAMPLE_FILETEXT)));
    NameControl(IDC_SAMPLE_DIRTEXT,
                NameBeside(language.GetText(kTextSampleDirectory), shown(IDC_SAMPLE_DIRTEXT)));
}

void CKWLDlg::SetFlagStates() {
    m_btnGerman->Enable(m_pLanguage->GetLanguage() != ELanguage::German);
    m_btnEnglish->Enable(m_pLanguage->GetLanguage() != ELanguage::English);
}

void CKWLDlg::OnLanguageFlag(ELanguage eLanguage) {
    m_pLanguage->SetLanguage(eLanguage);
    SetFlagStates();
    ApplyLanguage();
    // No message when it fails.
    if (m_bFormatsUsable)
        SaveLanguageId(m_strFormatsPath, LanguageId(eLanguage));
}

void CKWLDlg::OnSelectDirectory(wxCommandEvent&) {
    // Starts in the home folder, not at the last choice: GTK's chooser offers nothing to pick
    // from an empty start.
    wxDirDialog chooser(this, ToWx(m_pLanguage->GetText(kTextChooserTitle)), wxGetHomeDir(),
                        wxDD_DEFAULT_STYLE | wxDD_DIR_MUST_EXIST);
    if (chooser.ShowModal() == wxID_OK && !chooser.GetPath().empty()) {
        m_strDirectory = FromWx(chooser.GetPath());
        SetPlainText(IDC_DIRECTORY_LABEL, ToWx(ElideDirectoryLabel(m_strDirectory)));
        // Never a listing from no format: with no line selected it waits for one.
        EnableControl(IDC_COMPUTE_LIST, m_nCurFormat >= 0);
        EnableExports(false);
        m_bDirChosen = true;
        SetControlText(IDC_PREVIEW, wxString());
    }
    // Also after a cancel: changes on disk and a changed recursive option take effect.
    RebuildTree();
}

void CKWLDlg::RebuildTree() {
    SWorkProgress progress;
    CDirectoryScanner scanner(m_option);
    scanner.SetWorkProgress(&progress);
    const SProgressLabels labels = MakeProgressLabels(
        EProgressText::ReadingTitle, EProgressText::EntriesRead, m_pLanguage->GetLanguage());
    m_nScannedAt = CTime::GetCurrentTime().GetTime();
    const bool bComplete = RunWithProgress(this, progress, labels,
                                           [&] { scanner.RebuildTree(m_tree, m_strDirectory); });
    m_scanErrors = scanner.GetScanErrors();
    ChangeToParentDirectory(m_strDirectory);
    if (!bComplete) {
        ForgetDirectory();
        return;
    }
    // A listing that is silently incomplete would pass for a complete one; the tree stays.
    if (!m_scanErrors.empty())
        wxMessageBox(
            ToWx(UnreadableDirectoriesMessage(m_pLanguage->GetLanguage(), m_scanErrors)),
            kAppName, wxOK | wxICON_WARNING, this);
}

// A cancelled scan leaves the state of a cancel before any choice.
void CKWLDlg::ForgetDirectory() {
    m_tree.Clear();
    m_scanErrors.clear();
    m_strDirectory.clear();
    m_bDirChosen = false;
    SetControlText(IDC_DIRECTORY_LABEL, ToWx(m_pLanguage->GetText(kTextNoDirectory)));
    EnableControl(IDC_COMPUTE_LIST, false);
    EnableExports(false);
    SetControlText(IDC_PREVIEW, wxString());
}

void CKWLDlg::OnRecursive(wxCommandEvent&) {
    m_option.m_bRecursive = ControlAs<wxCheckBox>(IDC_RECURSIVE)->GetValue();
}

void CKWLDlg::OnComputeList(wxCommandEvent&) {
    ComputeList();
}

void CKWLDlg::ComputeList() {
    SWorkProgress progress;
    SListingStart listing;
    const SProgressLabels labels = MakeProgressLabels(
        EProgressText::ListingTitle, EProgressText::LinesListed, m_pLanguage->GetLanguage());
    const std::string strHeading = m_pLanguage->GetText(kTextHeading);
    const bool bRecursive = m_option.m_bRecursive;
    // Only the beginning is kept, for the preview; the clipboard renders the listing again.
    const bool bComplete = RunWithProgress(this, progress, labels, [&] {
        listing = BuildListingStart(m_format, m_tree.Root(), m_strDirectory, strHeading,
                                    bRecursive, kPreviewBytes, &progress);
    });
    if (!bComplete)
        return; // a cancelled listing changes nothing
    m_listed = SListingSettings{m_format, strHeading, bRecursive, listing.nTotalBytes};
    if (listing.bUndefinedField)
        ShowMessage(kTextFieldInvalid);
    const SPreviewCut cut = CutPreview(listing.strText);
    SetControlText(
        IDC_OUTPUT_TITLE,
        ToWx(m_pLanguage->GetText(cut.bShortened ? kTextPreviewTitle : kTextCompleteOutput)));
    SetControlText(IDC_PREVIEW, ToWx(cut.strShown));
    EnableControl(IDC_COMPUTE_LIST, false);
    EnableExports(true);
}

SRenderResult CKWLDlg::WriteLastListing(COutputSink& sink) const {
    if (!m_listed)
        return {};
    return WriteListing(sink, m_listed->format, m_tree.Root(), m_strDirectory,
                        m_listed->strHeading, m_listed->bRecursive);
}

std::string CKWLDlg::ListingText() const {
    return RenderToString(nullptr, [&](COutputSink& sink) { return WriteLastListing(sink); })
        .strText;
}

void CKWLDlg::OnAbout(wxCommandEvent&) {
    CAboutDlg about(this, *m_pLanguage);
    about.ShowModal();
}

void CKWLDlg::ShowMessage(ETextId eText) {
    wxMessageBox(ToWx(m_pLanguage->GetText(eText)), kAppName, wxOK, this);
}

void CKWLDlg::EnableExports(bool bEnable) {
    EnableControl(IDC_EXPORT_CLIPBOARD, bEnable);
    EnableControl(IDC_EXPORT_TEXTFILE, bEnable);
    EnableControl(IDC_EXPORT_HTML, bEnable);
}

// The whole listing, also when the preview shows only its beginning.
void CKWLDlg::OnExportClipboard(wxCommandEvent&) {
    // Open fails (with an assertion) while the clipboard is held open already.
    if (wxTheClipboard->IsOpened() || !wxTheClipboard->Open()) {
        ShowMessage(kTextClipboardFailed);
        return;
    }
    wxString strText;
    if (m_listed)
        strText.reserve(m_listed->nBytes); // at least the characters: no copy while it grows
    {
        COutputSink sink([&](std::string_view strPiece) { AppendToWx(strText, strPiece); });
        WriteLastListing(sink);
        sink.Finish();
    }
    const bool bSet = wxTheClipboard->SetData(new wxTextDataObject(strText));
    wxTheClipboard->Close();
    if (!bSet)
        ShowMessage(kTextClipboardFailed);
}

void CKWLDlg::OnExportTextfile(wxCommandEvent&) {
    std::string strSeparator;
    {
        CSeparatorDlg separatorDlg(this, *m_pLanguage);
        if (separatorDlg.ShowModal() != IDC_SEPARATOR_OK)
            return;
        strSeparator = separatorDlg.GetSeparator();
    }
    const std::string strHeading = m_pLanguage->GetText(kTextHeading);
    const std::optional<std::string> strText = BuildExport([&](SWorkProgress& progress) {
        return BuildTextExport(m_format, m_tree.Root(), m_strDirectory, strHeading, strSeparator,
                               &progress);
    });
    if (!strText)
        return;
    ReportWriteFailure(SaveToFile(*strText, "txt"));
}

// Two file types: the table page (the default, as it always was) and the browsable page.
void CKWLDlg::OnExportHtml(wxCommandEvent&) {
    const ELanguage eLanguage = m_pLanguage->GetLanguage();
    const wxString strWildcard =
        ToWx(ExportText(EExportText::HtmlTable, eLanguage)) + " (*.html)|*.html|" +
        ToWx(ExportText(EExportText::BrowsablePage, eLanguage)) + " (*.html)|*.html";
    int nFileType = 0;
    const std::optional<std::string> strPath = AskSavePath("KWL.html", strWildcard, &nFileType);
    if (!strPath)
        return;
    if (nFileType == 1) {
        ReportWriteFailure(SaveBrowsablePage(*strPath));
        return;
    }
    const std::string strTitleWord = m_pLanguage->GetText(kTextHtmlTitle);
    const std::string strDirectoryWord = m_pLanguage->GetText(kTextDirectory);
    const std::optional<std::string> strHtml = BuildExport([&](SWorkProgress& progress) {
        return BuildHtmlDocument(m_format, m_tree.Root(), m_strDirectory, strTitleWord,
                                 strDirectoryWord, &progress);
    });
    if (!strHtml)
        return;
    wxBusyCursor busy;
    ReportWriteFailure(SaveTextToFile(*strPath, *strHtml));
}

// Writes the page as it is rendered, with the progress window. A cancelled write leaves the
// target as it was.
SWriteResult CKWLDlg::SaveBrowsablePage(const std::string& strPath) {
    SHtmlAppInfo info;
    info.strRoot = m_strDirectory;
    info.eLanguage = m_pLanguage->GetLanguage();
    info.nScannedAt = m_nScannedAt;
    info.errors = m_scanErrors;
    SWorkProgress progress;
    SWriteResult written;
    const bool bComplete = RunWithProgress(
        this, progress,
        MakeProgressLabels(EProgressText::ExportTitle, EProgressText::LinesListed,
                           m_pLanguage->GetLanguage()),
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
CKWLDlg::BuildExport(const std::function<SRenderedText(SWorkProgress&)>& fnBuild) {
    SWorkProgress progress;
    SRenderedText built;
    if (!RunWithProgress(this, progress,
                         MakeProgressLabels(EProgressText::ExportTitle, EProgressText::LinesListed,
                                            m_pLanguage->GetLanguage()),
                         [&] { built = fnBuild(progress); }))
        return std::nullopt;
    if (built.bUndefinedField)
        ShowMessage(kTextFieldInvalid);
    return std::move(built.strText);
}

// Asks for the file and writes strText with CR LF line ends.
SWriteResult CKWLDlg::SaveToFile(const std::string& strText, const std::string& strExtension) {
    const wxString strExt = ToWx(strExtension);
    // The one file type, listing the files of its extension.
    const wxString strType = wxString::Format("%s %s (*.%s)", strExt,
                                              ToWx(m_pLanguage->GetText(kTextFilesWord)), strExt);
    const std::optional<std::string> strPath =
        AskSavePath("KWL." + strExt, strType + "|*." + strExt);
    if (!strPath)
        return {EWriteStatus::Cancelled, 0};
    wxBusyCursor busy;
    return SaveTextToFile(*strPath, strText);
}

// The message of a failed write, with the reason on a line of its own below it.
void CKWLDlg::ReportWriteFailure(const SWriteResult& result) {
    if (result.eStatus != EWriteStatus::Failed)
        return;
    std::string strMessage = m_pLanguage->GetText(kTextWriteError);
    if (result.nError != 0)
        strMessage += "\n" + ErrorReason(result.nError, m_pLanguage->GetLanguage());
    wxMessageBox(ToWx(strMessage), kAppName, wxOK, this);
}

// The save dialog with the toolkit's own title, proposing strName: the path chosen (and in
// pnFileType the index of the type chosen among strWildcard's), none when the user cancelled.
std::optional<std::string> CKWLDlg::AskSavePath(const wxString& strName,
                                                const wxString& strWildcard, int* pnFileType) {
    wxFileDialog fileDlg(this, wxGetStockLabel(wxID_SAVEAS, wxSTOCK_WITHOUT_ELLIPSIS), wxString(),
                         strName, strWildcard, wxFD_SAVE | wxFD_OVERWRITE_PROMPT);
    if (fileDlg.ShowModal() != wxID_OK)
        return std::nullopt;
    if (pnFileType != nullptr)
        *pnFileType = fileDlg.GetFilterIndex();
    return FromWx(fileDlg.GetPath());
}
