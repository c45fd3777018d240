#include "ui/KWLDlg.h"

#include <wx/accel.h>
#include <wx/bmpbuttn.h>
#include <wx/clipbrd.h>
#include <wx/combobox.h>
#include <wx/dirdlg.h>
#include <wx/filedlg.h>
#include <wx/icon.h>
#include <wx/stockitem.h>
#include <wx/utils.h>

#include <algorithm>

#include "ui/AboutDlg.h"
#include "ui/FormatDefDlg.h"
#include "ui/ProgressDlg.h"
#include "ui/SeparatorDlg.h"
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
    : CTemplateDialog(pParent, ToWx(kMainDlgTemplate.pszCaption), kMainDlgTemplate),
      m_comboFormats(ControlAs<wxComboBox>(IDC_FORMATS)), m_controller(*this) {
    SetEscapeId(IDC_QUIT); // Quit, Esc and the close box end the dialog

    Control(IDC_SELECT_DIRECTORY)->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) {
        m_controller.OnSelectDirectory();
    });
    Control(IDC_COMPUTE_LIST)->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) {
        m_controller.OnComputeList();
    });
    Control(IDC_RECURSIVE)->Bind(wxEVT_CHECKBOX, [this](wxCommandEvent& event) {
        m_controller.OnRecursive(event.IsChecked());
    });
    m_comboFormats->Bind(wxEVT_COMBOBOX, [this](wxCommandEvent&) {
        m_controller.OnSelectFormat(m_comboFormats->GetSelection());
    });
    Control(IDC_DEFINE_FORMAT)->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) {
        m_controller.OnDefineFormat();
    });
    Control(IDC_FLAG_GERMAN)->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) {
        m_controller.OnLanguageFlag(ELanguage::German);
    });
    Control(IDC_FLAG_ENGLISH)->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) {
        m_controller.OnLanguageFlag(ELanguage::English);
    });
    Bind(
        wxEVT_MENU, [this](wxCommandEvent&) { m_controller.OnAbout(); }, ID_ABOUT);
    Control(IDC_EXPORT_CLIPBOARD)->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) {
        m_controller.OnExportClipboard();
    });
    Control(IDC_EXPORT_TEXTFILE)->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) {
        m_controller.OnExportTextfile();
    });
    Control(IDC_EXPORT_HTML)->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) {
        m_controller.OnExportHtml();
    });

    LoadFlags();
    m_controller.Start();
    SetIcon(wxIcon(icon_xpm));
    wxAcceleratorEntry f1(wxACCEL_NORMAL, WXK_F1, ID_ABOUT);
    SetAcceleratorTable(wxAcceleratorTable(1, &f1));
    Control(IDC_RECURSIVE)->SetFocus();
}

void CKWLDlg::LoadFlags() {
    LoadFlag(ControlAs<wxBitmapButton>(IDC_FLAG_GERMAN), flag_de_xpm, flag_de_grey_xpm, "Deutsch");
    LoadFlag(ControlAs<wxBitmapButton>(IDC_FLAG_ENGLISH), flag_en_xpm, flag_en_grey_xpm, "English");
}

void CKWLDlg::FitTexts() {
    FitLeftwards(IDC_COMPUTE_LIST, kComputeListLeftmostDlu);
    WidenToFit({IDC_RECURSIVE}, kRecursiveRightmostDlu);
}

void CKWLDlg::SetFormatList(const std::vector<std::string>& shownLines) {
    wxArrayString entries;
    entries.reserve(shownLines.size());
    for (const std::string& strLine : shownLines)
        entries.push_back(ToWx(strLine));
    m_comboFormats->Set(entries);
}

void CKWLDlg::AppendFormat(const std::string& strShownLine) {
    m_comboFormats->Append(ToWx(strShownLine));
}

void CKWLDlg::SelectFormat(int nIndex) {
    m_comboFormats->SetSelection(nIndex);
}

// Starts in the home folder, not at the last choice: GTK's chooser offers nothing to pick
// from an empty start.
std::optional<std::string> CKWLDlg::AskFolder(const std::string& strTitle) {
    wxDirDialog chooser(this, ToWx(strTitle), wxGetHomeDir(),
                        wxDD_DEFAULT_STYLE | wxDD_DIR_MUST_EXIST);
    if (chooser.ShowModal() != wxID_OK)
        return std::nullopt;
    return FromWx(chooser.GetPath());
}

// The save dialog with the toolkit's own title.
std::optional<SSaveChoice> CKWLDlg::AskSaveFile(const std::string& strName,
                                                const std::vector<SFileType>& types) {
    wxString strWildcard;
    for (const SFileType& type : types) {
        const wxString strExt = ToWx(type.strExtension);
        if (!strWildcard.empty())
            strWildcard += "|";
        strWildcard += ToWx(type.strDescription) + " (*." + strExt + ")|*." + strExt;
    }
    wxFileDialog fileDlg(this, wxGetStockLabel(wxID_SAVEAS, wxSTOCK_WITHOUT_ELLIPSIS), wxString(),
                         ToWx(strName), strWildcard, wxFD_SAVE | wxFD_OVERWRITE_PROMPT);
    if (fileDlg.ShowModal() != wxID_OK)
        return std::nullopt;
    return SSaveChoice{FromWx(fileDlg.GetPath()),
                       static_cast<std::size_t>(std::max(0, fileDlg.GetFilterIndex()))};
}

bool CKWLDlg::PutOnClipboard(std::size_t nBytes, const FTextPieces& fnWrite) {
    // Open fails (with an assertion) while the clipboard is held open already.
    if (wxTheClipboard->IsOpened() || !wxTheClipboard->Open())
        return false;
    wxString strText;
    strText.reserve(nBytes); // at least the characters: no copy while it grows
    fnWrite([&](std::string_view strPiece) { AppendToWx(strText, strPiece); });
    const bool bSet = wxTheClipboard->SetData(new wxTextDataObject(strText));
    wxTheClipboard->Close();
    return bSet;
}

std::optional<std::string> CKWLDlg::DefineFormat(const CLanguage& language,
                                                 const CFileInformation& sampleFile,
                                                 const CDirInformation& sampleDir) {
    CFormatDefDlg dlg(this, language, sampleFile, sampleDir);
    if (dlg.ShowModal() != IDC_FD_OK)
        return std::nullopt;
    return dlg.GetFormat();
}

std::optional<std::string> CKWLDlg::AskSeparator(const CLanguage& language) {
    CSeparatorDlg dlg(this, language);
    if (dlg.ShowModal() != IDC_SEPARATOR_OK)
        return std::nullopt;
    return dlg.GetSeparator();
}

void CKWLDlg::ShowAbout(const CLanguage& language) {
    CAboutDlg about(this, language);
    about.ShowModal();
}

bool CKWLDlg::RunWithProgress(SWorkProgress& progress, const SProgressLabels& labels,
                              const std::function<void()>& fnWork) {
    return ::RunWithProgress(this, progress, labels, fnWork);
}

void CKWLDlg::RunBusy(const std::function<void()>& fn) {
    wxBusyCursor busy;
    fn();
}
