// The main dialog on Windows, driven with real messages: the rules of its buttons, the
// language switch, F1, and the exports against what kwl-list.exe writes for the same tree.
#include <windows.h>

#include "WindowDriver.h"
#include "WindowTest.h"
#include "dialogs/AboutDlgTemplate.h"
#include "dialogs/MainDlgTemplate.h"
#include "dialogs/ProgressDlgTemplate.h"
#include "dialogs/ProgressTexts.h"
#include "dialogs/SeparatorDlgTemplate.h"
#include "lang/DialogText.h"
#include "lang/Language.h"
#include "platform/WorkProgress.h"
#include "support/ButtonRuleCases.h"
#include "support/Files.h"
#include "support/KwlList.h"
#include "support/windows/Wide.h"

namespace {

constexpr int kExportIds[] = {IDC_EXPORT_CLIPBOARD, IDC_EXPORT_TEXTFILE, IDC_EXPORT_HTML};
constexpr const char* kNameSize = "name|F-size";

// The clipboard's text in one format, read while this process (its owner) still runs.
std::string ClipboardBytes(UINT nFormat) {
    std::string strBytes;
    if (!OpenClipboard(nullptr))
        return strBytes;
    if (const HANDLE hData = GetClipboardData(nFormat)) {
        if (const void* pData = GlobalLock(hData)) {
            if (nFormat == CF_UNICODETEXT)
                strBytes = Narrow(static_cast<const wchar_t*>(pData));
            else
                strBytes = static_cast<const char*>(pData);
            GlobalUnlock(hData);
        }
    }
    CloseClipboard();
    return strBytes;
}

// The window menu's last item: its command and text.
std::pair<UINT, std::string> WindowMenuItem(HWND hDlg) {
    const HMENU hMenu = GetSystemMenu(hDlg, FALSE);
    const int nLast = GetMenuItemCount(hMenu) - 1;
    wchar_t szText[128] = {};
    GetMenuStringW(hMenu, static_cast<UINT>(nLast), szText, 128, MF_BYPOSITION);
    return {GetMenuItemID(hMenu, nLast), Narrow(szText)};
}

class MainWindowTest : public WindowTest {
protected:
    // What kwl-list.exe writes for the same tree, recursively.
    std::string KwlListOutput(const std::vector<std::string>& options, const std::string& strDir,
                              const std::string& strFormat = kNameSize) {
        std::vector<std::string> args = {"-r", "-f", strFormat, "-o", m_out.Path("reference")};
        args.insert(args.end(), options.begin(), options.end());
        args.push_back(strDir);
        EXPECT_EQ(RunKwlList(args).nStatus, 0);
        return ReadFile(m_out.Path("reference"));
    }
};

TEST_F(MainWindowTest, StartUpStateAndFirstFormatsFile) {
    std::unique_ptr<CTestMainWindow> pWindow = OpenMainWindow();
    const HWND hDlg = pWindow->Handle();
    EXPECT_EQ(CaptionOf(hDlg), "KWL - Kawlen");
    EXPECT_FALSE(IsEnabled(hDlg, IDC_COMPUTE_LIST));
    for (int nId : kExportIds)
        EXPECT_FALSE(IsEnabled(hDlg, nId)) << nId;
    // English is stored in a new formats.def: its flag is the disabled one.
    EXPECT_FALSE(IsEnabled(hDlg, IDC_FLAG_ENGLISH));
    EXPECT_TRUE(IsEnabled(hDlg, IDC_FLAG_GERMAN));
    EXPECT_TRUE(ReadFormats().starts_with("1"));
    EXPECT_EQ(SendMessageW(GetDlgItem(hDlg, IDC_FORMATS), CB_GETCOUNT, 0, 0), 3);
    EXPECT_EQ(TextOf(hDlg, IDC_FORMATS), "D-[D ]-name");
    EXPECT_EQ(TextOf(hDlg, IDC_SAMPLE_FILETEXT), "Name.ext");
    EXPECT_EQ(TextOf(hDlg, IDC_SAMPLE_DIRTEXT), "D Name");
    EXPECT_EQ(TextOf(hDlg, IDC_DIRECTORY_LABEL), "[No Directory Selected]");
    EXPECT_EQ(TextOf(hDlg, IDC_SELECT_DIRECTORY), "Select &Directory...");
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(hDlg, IDC_DEFAULT_BUTTON)));
}

TEST_F(MainWindowTest, ButtonRules) {
    using enum EButtonStep;
    const std::string strDir = MakeExampleTree(m_tree);
    for (const SButtonRuleCase& c : ButtonRuleCases()) {
        SCOPED_TRACE(c.pszName);
        WriteFormats(1, {"D-[D ]-name", "name", "name|siz"});
        std::unique_ptr<CTestMainWindow> pWindow = OpenMainWindow();
        const HWND hDlg = pWindow->Handle();
        std::size_t nMessages = 0;
        for (EButtonStep eStep : c.steps) {
            switch (eStep) {
            case ChooseDir:
                pWindow->folder = strDir;
                Click(hDlg, IDC_SELECT_DIRECTORY);
                break;
            case CancelDir:
                pWindow->folder.reset();
                Click(hDlg, IDC_SELECT_DIRECTORY);
                break;
            case SelectOther:
                ChooseEntry(hDlg, IDC_FORMATS, 1);
                break;
            case SelectInvalid: {
                const CDialogAnswers answers({ClickButton(IDOK)});
                ChooseEntry(hDlg, IDC_FORMATS, 2);
                nMessages += answers.Messages().size();
                break;
            }
            case SelectSame:
                ChooseEntry(hDlg, IDC_FORMATS, 0);
                break;
            case Compute:
                Click(hDlg, IDC_COMPUTE_LIST);
                break;
            case Recursive:
                Tick(hDlg, IDC_RECURSIVE, true);
                break;
            case Flag:
                Click(hDlg, IDC_FLAG_GERMAN);
                break;
            }
        }
        EXPECT_EQ(IsEnabled(hDlg, IDC_COMPUTE_LIST), c.bCompute);
        for (int nId : kExportIds)
            EXPECT_EQ(IsEnabled(hDlg, nId), c.bExports) << nId;
        // The invalid line is said once, in a message box.
        const bool bInvalid =
            std::find(c.steps.begin(), c.steps.end(), SelectInvalid) != c.steps.end();
        EXPECT_EQ(nMessages, bInvalid ? 1u : 0u);
    }
}

// Each flag shows every text of the catalogue in its language, disables itself and is stored
// in formats.def; the preview and the chosen directory stay.
TEST_F(MainWindowTest, LanguageSwitchSetsEveryTextAndStoresIt) {
    WriteFormats(1, {"D-[D ]-name", kNameSize});
    const std::string strDir = MakeExampleTree(m_tree);
    std::unique_ptr<CTestMainWindow> pWindow = OpenMainWindow();
    const HWND hDlg = pWindow->Handle();
    ListDirectory(*pWindow, strDir, 1);
    const std::string strPreview = TextOf(hDlg, IDC_PREVIEW);
    const std::string strDirectory = TextOf(hDlg, IDC_DIRECTORY_LABEL);
    struct SCase {
        int nFlag;
        ELanguage eLanguage;
        char cStored;
        int nOtherFlag;
    };
    const SCase cases[] = {
        {IDC_FLAG_GERMAN, ELanguage::German, '0', IDC_FLAG_ENGLISH},
        {IDC_FLAG_ENGLISH, ELanguage::English, '1', IDC_FLAG_GERMAN},
    };
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.nFlag);
        Click(hDlg, c.nFlag);
        CLanguage language;
        language.SetLanguage(c.eLanguage);
        for (const SControlTemplate& row : kMainDlgLayout) {
            if (row.eText != kNoText) {
                EXPECT_EQ(TextOf(hDlg, row.nId), language.GetText(row.eText)) << row.nId;
            }
        }
        EXPECT_FALSE(IsEnabled(hDlg, c.nFlag));
        EXPECT_TRUE(IsEnabled(hDlg, c.nOtherFlag));
        EXPECT_EQ(ReadFormats().front(), c.cStored);
        EXPECT_EQ(WindowMenuItem(hDlg).second, language.GetText(kTextAboutItem));
        EXPECT_EQ(TextOf(hDlg, IDC_DIRECTORY_LABEL), strDirectory);
        // The heading's words follow the language; the lines of the tree stay.
        EXPECT_NE(TextOf(hDlg, IDC_PREVIEW).find("a.txt\t120"), std::string::npos);
    }
    EXPECT_EQ(TextOf(hDlg, IDC_PREVIEW), strPreview);
}

// The preview shows the listing with Windows' line ends; the clipboard holds the whole
// listing as kwl-list.exe prints it, in UTF-16 and (for older programs) in Windows-1252.
TEST_F(MainWindowTest, ClipboardHoldsTheListingThatKwlListPrints) {
    WriteFormats(1, {"D-[D ]-name", kNameSize});
    const std::string strDir = MakeExampleTree(m_tree);
    m_tree.AddFile("x/\xC3\xA4rger \xE2\x82\xAC \xCE\xA9.txt", 2); // ä, €, Omega
    std::unique_ptr<CTestMainWindow> pWindow = OpenMainWindow();
    ListDirectory(*pWindow, strDir, 1);

    Click(pWindow->Handle(), IDC_EXPORT_CLIPBOARD);

    const std::string strListing = KwlListOutput({}, strDir);
    EXPECT_EQ(ClipboardBytes(CF_UNICODETEXT), strListing);
    EXPECT_NE(strListing.find("\xC3\xA4rger \xE2\x82\xAC \xCE\xA9.txt\t2"), std::string::npos);
    const std::string strAnsi = ClipboardBytes(CF_TEXT);
    EXPECT_NE(strAnsi.find("\xE4rger \x80 ?.txt\t2"), std::string::npos);
    EXPECT_EQ(strAnsi.size(), strListing.size() - 4); // ä, € and Omega: one byte each
    EXPECT_EQ(TextOf(pWindow->Handle(), IDC_PREVIEW), strListing);
    EXPECT_TRUE(IsEnabled(pWindow->Handle(), IDC_EXPORT_CLIPBOARD)); // can be repeated
}

// The preview shows the beginning of a long listing; the clipboard gets all of it.
TEST_F(MainWindowTest, ClipboardGetsAllOfAShortenedListing) {
    WriteFormats(1, {"D-[D ]-name", kNameSize});
    std::string strName;
    for (int i = 0; i < 80; ++i)
        strName += "\xC3\xA4x";
    for (std::size_t i = 0; i < kPreviewLimit / 166 + 10; ++i)
        m_tree.AddFile("big/" + std::to_string(1000 + i) + strName);
    std::unique_ptr<CTestMainWindow> pWindow = OpenMainWindow();
    ListDirectory(*pWindow, m_tree.Path("big"), 1);
    CLanguage english;
    english.SetLanguage(ELanguage::English);
    ASSERT_EQ(TextOf(pWindow->Handle(), IDC_OUTPUT_TITLE), english.GetText(kTextPreviewTitle));

    Click(pWindow->Handle(), IDC_EXPORT_CLIPBOARD);

    const std::string strListing = KwlListOutput({}, m_tree.Path("big"));
    EXPECT_EQ(ClipboardBytes(CF_UNICODETEXT), strListing);
    EXPECT_LT(TextOf(pWindow->Handle(), IDC_PREVIEW).size(), strListing.size());
}

TEST_F(MainWindowTest, TextFileIsWhatKwlListWrites) {
    const std::string strDir = MakeExampleTree(m_tree);
    for (int nLanguage : {1, 0}) {
        SCOPED_TRACE(nLanguage);
        WriteFormats(nLanguage, {"D-[D ]-name", kNameSize});
        std::unique_ptr<CTestMainWindow> pWindow = OpenMainWindow();
        ListDirectory(*pWindow, strDir, 1);
        const std::string strPath = m_out.Path("list.txt");
        pWindow->save = SSaveChoice{strPath, 0};
        {
            // The separator dialog offers ";" and is accepted as it is.
            const CDialogAnswers answers({ClickButton(IDC_SEPARATOR_OK)});
            Click(pWindow->Handle(), IDC_EXPORT_TEXTFILE);
            EXPECT_EQ(answers.Captions().size(), 1u);
            EXPECT_EQ(answers.Unexpected(), 0u);
        }
        ASSERT_EQ(pWindow->offeredTypes.size(), 1u);
        EXPECT_EQ(pWindow->savedNames.back(), "KWL.txt");
        EXPECT_EQ(
            ReadFile(strPath),
            KwlListOutput({"-e", "text", "-s", ";", "-l", nLanguage == 1 ? "en" : "de"}, strDir));
    }
}

// Both file types of the HTML export: the table page and the browsable page.
TEST_F(MainWindowTest, HtmlFilesAreWhatKwlListWrites) {
    const std::string strDir = MakeExampleTree(m_tree);
    // The first read of a directory after it changed moves its access time, which the
    // browsable page shows: read once before either side does.
    KwlListOutput({"-e", "html-app"}, strDir);
    const auto fnWithoutScanTime = [](std::string strPage) {
        const std::size_t nStart = strPage.find("\"scanned\":");
        const std::size_t nEnd = strPage.find(',', nStart);
        return nStart == std::string::npos ? strPage : strPage.erase(nStart, nEnd - nStart);
    };
    struct SCase {
        int nLanguage;
        std::size_t nFileType;
        const char* pszKind;
    };
    const SCase cases[] = {{1, 0, "html"}, {0, 0, "html"}, {1, 1, "html-app"}, {0, 1, "html-app"}};
    for (const SCase& c : cases) {
        SCOPED_TRACE(std::string(c.pszKind) + " " + std::to_string(c.nLanguage));
        WriteFormats(c.nLanguage, {"D-[D ]-name", kNameSize});
        std::unique_ptr<CTestMainWindow> pWindow = OpenMainWindow();
        ListDirectory(*pWindow, strDir, 1);
        const std::string strPath = m_out.Path("page.html");
        pWindow->save = SSaveChoice{strPath, c.nFileType};

        Click(pWindow->Handle(), IDC_EXPORT_HTML);

        ASSERT_EQ(pWindow->offeredTypes.size(), 1u);
        EXPECT_EQ(pWindow->offeredTypes.back().size(), 2u);
        EXPECT_EQ(pWindow->savedNames.back(), "KWL.html");
        const std::string strExpected =
            KwlListOutput({"-e", c.pszKind, "-l", c.nLanguage == 1 ? "en" : "de"}, strDir);
        EXPECT_EQ(fnWithoutScanTime(ReadFile(strPath)), fnWithoutScanTime(strExpected));
    }
}

// The window menu carries the About box too, as Windows programs do.
TEST_F(MainWindowTest, WindowMenuOpensTheAboutBox) {
    std::unique_ptr<CTestMainWindow> pWindow = OpenMainWindow();
    const CDialogAnswers answers({ClickButton(IDC_ABOUT_OK)});
    SendMessageW(pWindow->Handle(), WM_SYSCOMMAND, WindowMenuItem(pWindow->Handle()).first, 0);
    ASSERT_EQ(answers.Captions().size(), 1u);
    CLanguage english;
    english.SetLanguage(ELanguage::English);
    EXPECT_EQ(answers.Captions()[0], english.GetText(kTextAboutItem));
}

// F1 reaches the About box through the program's own message loop, from any control.
TEST_F(MainWindowTest, F1OpensTheAboutBox) {
    std::unique_ptr<CTestMainWindow> pWindow = OpenMainWindow();
    const HWND hDlg = pWindow->Handle();
    std::string strAboutCaption;
    const CDialogAnswers answers({[&](HWND hAbout) {
        strAboutCaption = CaptionOf(hAbout);
        PostMessageW(GetDlgItem(hAbout, IDC_ABOUT_OK), BM_CLICK, 0, 0);
        PostMessageW(hDlg, WM_COMMAND, IDC_QUIT, 0); // then Quit, which ends the loop
    }});
    SetFocus(GetDlgItem(hDlg, IDC_SELECT_DIRECTORY));
    PostMessageW(GetDlgItem(hDlg, IDC_SELECT_DIRECTORY), WM_KEYDOWN, VK_F1, 0);

    EXPECT_EQ(RunMessageLoop(*pWindow), 0);

    CLanguage english;
    english.SetLanguage(ELanguage::English);
    EXPECT_EQ(strAboutCaption, english.GetText(kTextAboutItem));
    EXPECT_EQ(answers.Captions().size(), 1u);
    EXPECT_EQ(pWindow->Handle(), nullptr);
}

} // namespace

namespace {

// Work that runs until it is cancelled shows the progress window, whose Cancel stops it; work
// that ends at once shows none.
TEST_F(MainWindowTest, ProgressWindowShowsLongWorkAndCancelsIt) {
    std::unique_ptr<CTestMainWindow> pWindow = OpenMainWindow();
    const SProgressLabels labels = MakeProgressLabels(
        EProgressText::ReadingTitle, EProgressText::EntriesRead, ELanguage::English);
    {
        SWorkProgress progress;
        std::string strCount;
        const CDialogAnswers answers({[&](HWND hProgress) {
            strCount = TextOf(hProgress, IDC_PROGRESS_COUNT);
            PostMessageW(GetDlgItem(hProgress, IDC_PROGRESS_CANCEL), BM_CLICK, 0, 0);
        }});
        const bool bCompleted = pWindow->RunWithProgress(progress, labels, [&] {
            progress.Add(1234);
            while (!progress.IsCancelled())
                Sleep(5);
        });
        EXPECT_FALSE(bCompleted);
        ASSERT_EQ(answers.Captions().size(), 1u);
        EXPECT_EQ(answers.Captions()[0], labels.strTitle);
        EXPECT_EQ(strCount, "1,234 entries read");
    }
    {
        SWorkProgress progress;
        const CDialogAnswers answers({});
        EXPECT_TRUE(pWindow->RunWithProgress(progress, labels, [&] { progress.Add(1); }));
        EXPECT_TRUE(answers.Captions().empty());
    }
}

} // namespace
