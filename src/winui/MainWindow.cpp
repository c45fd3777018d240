#include "winui/MainWindow.h"

#include <iterator>

#include "dialogs/MainDlgTemplate.h"
#include "dialogs/ProgressController.h"
#include "winui/AboutWindow.h"
#include "winui/Clipboard.h"
#include "winui/FileDialogs.h"
#include "winui/FormatDefWindow.h"
#include "winui/PictureButton.h"
#include "winui/ProgressWindow.h"
#include "winui/ResourceIds.h"
#include "winui/SeparatorWindow.h"
#include "winui/WaitCursor.h"
#include "winui/WideText.h"

CMainWindow::CMainWindow()
    : CDialogView<IMainView>(kMainDlgTemplate), m_flagGerman(IDB_FLAG_DE),
      m_flagGermanGrey(IDB_FLAG_DE_GREY), m_flagEnglish(IDB_FLAG_EN),
      m_flagEnglishGrey(IDB_FLAG_EN_GREY), m_controller(*this) {}

namespace {
// The About item of the window menu. Windows keeps the low four bits of a window menu command
// for itself, so the item cannot carry ID_ABOUT.
constexpr UINT kSystemMenuAbout = 0x0010;
} // namespace

HWND CMainWindow::Open() {
    return Create(nullptr, m_controller.Language(), true);
}

void CMainWindow::OnInit() {
    const HINSTANCE hInstance = GetModuleHandleW(nullptr);
    const auto hIcon = reinterpret_cast<LPARAM>(LoadIconW(hInstance, MAKEINTRESOURCEW(IDI_KWL)));
    SendMessageW(Handle(), WM_SETICON, ICON_BIG, hIcon);
    SendMessageW(Handle(), WM_SETICON, ICON_SMALL, hIcon);
    m_controller.Start();
    const HMENU hMenu = GetSystemMenu(Handle(), FALSE);
    AppendMenuW(hMenu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(hMenu, MF_STRING, kSystemMenuAbout, L"");
    ShowAboutItem();
}

// The window menu's About item, in the language shown.
void CMainWindow::ShowAboutItem() {
    const std::wstring strText = Wide(m_controller.Language().GetText(kTextAboutItem));
    ModifyMenuW(GetSystemMenu(Handle(), FALSE), kSystemMenuAbout, MF_BYCOMMAND | MF_STRING,
                kSystemMenuAbout, strText.c_str());
}

void CMainWindow::OnCommand(int nId, int nCode) {
    switch (nId) {
    case IDC_RECURSIVE:
        m_controller.OnRecursive(IsChecked(IDC_RECURSIVE));
        break;
    case IDC_SELECT_DIRECTORY:
        m_controller.OnSelectDirectory();
        break;
    case IDC_FORMATS:
        if (nCode == CBN_SELCHANGE)
            m_controller.OnSelectFormat(
                static_cast<int>(SendMessageW(Control(IDC_FORMATS), CB_GETCURSEL, 0, 0)));
        break;
    case IDC_DEFINE_FORMAT:
        m_controller.OnDefineFormat();
        break;
    case IDC_COMPUTE_LIST:
        m_controller.OnComputeList();
        break;
    case IDC_EXPORT_CLIPBOARD:
        m_controller.OnExportClipboard();
        break;
    case IDC_EXPORT_TEXTFILE:
        m_controller.OnExportTextfile();
        break;
    case IDC_EXPORT_HTML:
        m_controller.OnExportHtml();
        break;
    case IDC_FLAG_GERMAN:
        m_controller.OnLanguageFlag(ELanguage::German);
        ShowAboutItem();
        break;
    case IDC_FLAG_ENGLISH:
        m_controller.OnLanguageFlag(ELanguage::English);
        ShowAboutItem();
        break;
    case ID_ABOUT:
        m_controller.OnAbout();
        break;
    case IDC_QUIT: // also Esc and the close box
        End(0);
        break;
    default:
        break; // Enter goes to the hidden default button, which does nothing
    }
}

// The flags are drawn here (a disabled one shows its grey picture); the window menu's About.
INT_PTR CMainWindow::OnMessage(UINT nMessage, WPARAM wParam, LPARAM lParam) {
    if (nMessage == WM_SYSCOMMAND && (wParam & 0xFFF0) == kSystemMenuAbout) {
        m_controller.OnAbout();
        return TRUE;
    }
    if (nMessage != WM_DRAWITEM)
        return FALSE;
    const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
    if (wParam == IDC_FLAG_GERMAN)
        DrawPictureButton(item, m_flagGerman, m_flagGermanGrey);
    else if (wParam == IDC_FLAG_ENGLISH)
        DrawPictureButton(item, m_flagEnglish, m_flagEnglishGrey);
    else
        return FALSE;
    return TRUE;
}

void CMainWindow::SetFormatList(const std::vector<std::string>& shownLines) {
    SendMessageW(Control(IDC_FORMATS), CB_RESETCONTENT, 0, 0);
    for (const std::string& strLine : shownLines)
        AppendFormat(strLine);
}

void CMainWindow::AppendFormat(const std::string& strShownLine) {
    SendMessageW(Control(IDC_FORMATS), CB_ADDSTRING, 0,
                 reinterpret_cast<LPARAM>(Wide(strShownLine).c_str()));
}

void CMainWindow::SelectFormat(int nIndex) {
    SendMessageW(Control(IDC_FORMATS), CB_SETCURSEL, static_cast<WPARAM>(nIndex), 0);
}

std::optional<std::string> CMainWindow::AskFolder(const std::string& strTitle) {
    return ChooseFolder(Handle(), strTitle);
}

std::optional<SSaveChoice> CMainWindow::AskSaveFile(const std::string& strName,
                                                    const std::vector<SFileType>& types) {
    return AskSavePath(Handle(), strName, types);
}

bool CMainWindow::PutOnClipboard(std::size_t nBytes, const FTextPieces& fnWrite) {
    std::string strText;
    strText.reserve(nBytes);
    fnWrite([&strText](std::string_view strPiece) { strText += strPiece; });
    return CopyToClipboard(Handle(), strText);
}

std::optional<std::string> CMainWindow::DefineFormat(const CLanguage& language,
                                                     const CFileInformation& sampleFile,
                                                     const CDirInformation& sampleDir) {
    CFormatDefWindow dialog(language, sampleFile, sampleDir);
    if (dialog.RunModal(Handle(), language) != IDC_FD_OK)
        return std::nullopt;
    return dialog.Line();
}

std::optional<std::string> CMainWindow::AskSeparator(const CLanguage& language) {
    CSeparatorWindow dialog(language);
    if (dialog.RunModal(Handle(), language) != IDC_SEPARATOR_OK)
        return std::nullopt;
    return dialog.Separator();
}

void CMainWindow::ShowAbout(const CLanguage& language) {
    CAboutWindow dialog(language);
    dialog.RunModal(Handle(), language);
}

bool CMainWindow::RunWithProgress(SWorkProgress& progress, const SProgressLabels& labels,
                                  const std::function<void()>& fnWork) {
    const CWaitCursor busy;
    return RunWithProgressWindow(progress, fnWork, [&](const std::function<bool()>& fnDone) {
        CProgressWindow window(progress, labels, fnDone);
        window.RunModal(Handle(), m_controller.Language());
    });
}

void CMainWindow::RunBusy(const std::function<void()>& fn) {
    const CWaitCursor busy;
    fn();
}

namespace {

// The main window's keys: F1 opens the About box.
class CAccelerators {
public:
    CAccelerators() {
        ACCEL keys[] = {{FVIRTKEY, VK_F1, ID_ABOUT}};
        m_hTable = CreateAcceleratorTableW(keys, static_cast<int>(std::size(keys)));
    }
    ~CAccelerators() { DestroyAcceleratorTable(m_hTable); }
    CAccelerators(const CAccelerators&) = delete;
    CAccelerators& operator=(const CAccelerators&) = delete;
    HACCEL Handle() const { return m_hTable; }

private:
    HACCEL m_hTable;
};

} // namespace

int RunMessageLoop(CMainWindow& window) {
    const CAccelerators accelerators;
    const HACCEL hAccelerators = accelerators.Handle();
    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        const HWND hWnd = window.Handle();
        if (hWnd != nullptr && TranslateAcceleratorW(hWnd, hAccelerators, &message))
            continue;
        if (hWnd != nullptr && IsDialogMessageW(hWnd, &message))
            continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}
