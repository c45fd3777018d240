// The main dialog's decisions without a window: a recording view stands for the window, the
// directories, formats.def and the exported files are real.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ConfigFolderGuard.h"
#include "RecordingView.h"
#include "support/ButtonRuleCases.h"
#include "dialogs/MainController.h"
#include "dialogs/MainDlgTemplate.h"
#include "format/FormatsFile.h"
#include "lang/AccessibleTexts.h"
#include "lang/DialogText.h"
#include "lang/ExportTexts.h"
#include "lang/FormatsFileTexts.h"
#include "lang/Language.h"
#include "lang/LanguageId.h"
#include "lang/ProgressTexts.h"
#include "support/Files.h"
#include "support/KwlList.h"
#include "support/TempTree.h"

namespace {

constexpr int kExportIds[] = {IDC_EXPORT_CLIPBOARD, IDC_EXPORT_TEXTFILE, IDC_EXPORT_HTML};
const std::string kNameSizeFormat = "name|F-size";

class MainControllerTest : public ::testing::Test {
protected:
    MainControllerTest() : m_configGuard(m_config.Root()) {}

    std::string FormatsPath() const { return m_config.Path("kwl/formats.def"); }
    void WriteFormats(const std::string& strContent) {
        m_config.AddDir("kwl");
        ASSERT_TRUE(WriteFile(FormatsPath(), strContent));
    }

    // A fresh main dialog on the test's configuration folder.
    CMainController& Start() {
        m_pView = std::make_unique<CRecordingMainView>();
        m_pMain = std::make_unique<CMainController>(*m_pView);
        m_pMain->Start();
        return *m_pMain;
    }
    CRecordingMainView& View() { return *m_pView; }
    CMainController& Main() { return *m_pMain; }

    void ChooseDirectory(const std::string& strDir) {
        View().folderAnswer = strDir;
        Main().OnSelectDirectory();
    }
    void CancelChooser() {
        View().folderAnswer.reset();
        Main().OnSelectDirectory();
    }
    bool ExportsEnabled() {
        for (int nId : kExportIds) {
            if (!View().IsEnabled(nId))
                return false;
        }
        return true;
    }
    std::string Text(ETextId eText) const { return m_pMain->Language().GetText(eText); }

    // Reads strDir recursively and computes the listing in the format of list entry nFormat.
    void ListDirectory(const std::string& strDir, int nFormat) {
        View().SetChecked(IDC_RECURSIVE, true);
        Main().OnRecursive(true);
        ChooseDirectory(strDir);
        View().SelectFormat(nFormat);
        Main().OnSelectFormat(nFormat);
        Main().OnComputeList();
        ASSERT_TRUE(View().IsEnabled(IDC_EXPORT_TEXTFILE));
    }

    // What kwl-list writes for the same tree.
    std::string KwlListOutput(const std::vector<std::string>& options, const std::string& strDir,
                              const std::string& strFormat = kNameSizeFormat) {
        std::vector<std::string> args = {"-r", "-f", strFormat, "-o", m_out.Path("reference")};
        args.insert(args.end(), options.begin(), options.end());
        args.push_back(strDir);
        EXPECT_EQ(RunKwlList(args).nStatus, 0);
        return ReadFile(m_out.Path("reference"));
    }

    CTempTree m_config;
    CConfigFolderGuard m_configGuard;
    CWorkingDirGuard m_cwd; // a scan moves it
    CTempTree m_tree;
    CTempTree m_out;
    std::unique_ptr<CRecordingMainView> m_pView;
    std::unique_ptr<CMainController> m_pMain;
};

// Every control with a catalogue entry shows it in the language in use.
void ExpectTextsIn(const CRecordingView& view, ELanguage eLanguage) {
    const CLanguage language(eLanguage);
    for (const SControlTemplate& row : kMainDlgLayout) {
        if (row.eText != kNoText) {
            EXPECT_EQ(view.Text(row.nId), language.GetText(row.eText)) << row.nId;
        }
    }
    EXPECT_EQ(view.IsEnabled(IDC_FLAG_GERMAN), eLanguage != ELanguage::German);
    EXPECT_EQ(view.IsEnabled(IDC_FLAG_ENGLISH), eLanguage != ELanguage::English);
}

TEST_F(MainControllerTest, StartsFromFormatsDef) {
    struct SCase {
        const char* pszName;
        std::optional<std::string> file; // none: missing
        std::vector<std::string> lines;
        int nSelected;
        ELanguage eLanguage;
    };
    const std::vector<std::string> defaults(kDefaultFormats.begin(), kDefaultFormats.end());
    const SCase cases[] = {
        {"missing", std::nullopt, defaults, 0, ELanguage::English},
        {"empty", std::string(), defaults, 0, ELanguage::English},
        {"German, default second",
         "0\nname\nD-[D ]-name\n",
         {"name", "D-[D ]-name"},
         1,
         ELanguage::German},
        {"without the default line",
         "1\r\nname\r\nname|F-size",
         {"name", "name|F-size"},
         -1,
         ELanguage::English},
    };
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.pszName);
        std::filesystem::remove_all(m_config.Path("kwl"));
        if (c.file)
            WriteFormats(*c.file);
        Start();
        EXPECT_EQ(Main().FormatLines(), c.lines);
        EXPECT_EQ(View().formatList, c.lines);
        EXPECT_EQ(View().nSelectedFormat, c.nSelected);
        EXPECT_EQ(Main().SelectedFormat(),
                  c.nSelected >= 0 ? c.lines[static_cast<std::size_t>(c.nSelected)] : "");
        EXPECT_EQ(Main().Language().GetLanguage(), c.eLanguage);
        ExpectTextsIn(View(), c.eLanguage);
        EXPECT_EQ(View().Text(IDC_DIRECTORY_LABEL), Text(kTextNoDirectory));
        EXPECT_EQ(View().Text(IDC_OUTPUT_TITLE), "");
        EXPECT_FALSE(View().IsEnabled(IDC_COMPUTE_LIST));
        EXPECT_FALSE(ExportsEnabled());
        EXPECT_FALSE(View().IsChecked(IDC_RECURSIVE));
        EXPECT_TRUE(View().messages.empty());
        EXPECT_EQ(ReadLanguageId(FormatsPath()), LanguageId(c.eLanguage));
    }
}

// The compute and export buttons after a sequence of user events, from a fresh start.
TEST_F(MainControllerTest, ButtonRules) {
    using enum EButtonStep;
    const std::string strDir = MakeExampleTree(m_tree);
    for (const SButtonRuleCase& c : ButtonRuleCases()) {
        SCOPED_TRACE(c.pszName);
        WriteFormats("1\nD-[D ]-name\nname\nname|siz\n");
        Start();
        std::size_t nMessages = 0;
        for (EButtonStep eStep : c.steps) {
            switch (eStep) {
            case ChooseDir:
                ChooseDirectory(strDir);
                break;
            case CancelDir:
                CancelChooser();
                break;
            case SelectOther:
                Main().OnSelectFormat(1);
                break;
            case SelectInvalid:
                Main().OnSelectFormat(2);
                ++nMessages;
                ASSERT_EQ(View().messages.size(), nMessages);
                EXPECT_EQ(View().messages.back().strText, Text(kTextFormatInvalid));
                EXPECT_EQ(Main().SelectedFormat(), "");
                break;
            case SelectSame:
                Main().OnSelectFormat(0);
                break;
            case Compute:
                Main().OnComputeList();
                break;
            case Recursive:
                Main().OnRecursive(true);
                break;
            case Flag:
                Main().OnLanguageFlag(ELanguage::German);
                break;
            }
        }
        EXPECT_EQ(View().IsEnabled(IDC_COMPUTE_LIST), c.bCompute);
        for (int nId : kExportIds) {
            EXPECT_EQ(View().IsEnabled(nId), c.bExports) << nId;
        }
        EXPECT_EQ(View().messages.size(), nMessages);
    }
}

// With no line selected (formats.def lacks the default), a chosen directory waits for one.
TEST_F(MainControllerTest, ComputeWaitsForAFormatLine) {
    WriteFormats("1\nname\nname|F-size\n");
    Start();
    ChooseDirectory(MakeExampleTree(m_tree));
    EXPECT_TRUE(Main().IsDirChosen());
    EXPECT_FALSE(View().IsEnabled(IDC_COMPUTE_LIST));
    Main().OnSelectFormat(1);
    EXPECT_TRUE(View().IsEnabled(IDC_COMPUTE_LIST));
    EXPECT_EQ(View().Text(IDC_SAMPLE_FILETEXT), "Name.ext 4321");
    EXPECT_EQ(View().Text(IDC_SAMPLE_DIRTEXT), "Name");
}

TEST_F(MainControllerTest, LanguageSwitchChangesEveryTextAndIsStored) {
    struct SCase {
        ELanguage eFrom;
        ELanguage eTo;
        bool bDirChosen;
    };
    const SCase cases[] = {
        {ELanguage::English, ELanguage::German, false},
        {ELanguage::German, ELanguage::English, false},
        {ELanguage::English, ELanguage::German, true},
    };
    const std::string strDir = MakeExampleTree(m_tree);
    for (const SCase& c : cases) {
        SCOPED_TRACE(testing::Message() << LanguageId(c.eTo) << (c.bDirChosen ? " chosen" : ""));
        WriteFormats(std::to_string(LanguageId(c.eFrom)) + "\nD-[D ]-name\r\nname\n");
        Start();
        if (c.bDirChosen)
            ChooseDirectory(strDir);
        Main().OnLanguageFlag(c.eTo);
        EXPECT_EQ(Main().Language().GetLanguage(), c.eTo);
        ExpectTextsIn(View(), c.eTo);
        // A chosen directory's path stays; otherwise the label says none is chosen.
        EXPECT_EQ(View().Text(IDC_DIRECTORY_LABEL),
                  c.bDirChosen ? ElideDirectoryLabel(strDir) : Text(kTextNoDirectory));
        const CLanguage to(c.eTo);
        EXPECT_EQ(View().Name(IDC_FORMATS), NameFromLabel(to.GetText(kTextStep3)));
        // Only the first line changes; the others keep their bytes.
        EXPECT_EQ(ReadFile(FormatsPath()),
                  std::to_string(LanguageId(c.eTo)) + "\nD-[D ]-name\r\nname\n");
        EXPECT_TRUE(View().messages.empty());
    }
}

// A directory where formats.def belongs: said once, the built-in formats are offered, and the
// file is neither written nor read again in this session.
TEST_F(MainControllerTest, UnusableFormatsFileIsSaidOnceAndLeftAlone) {
    m_config.AddDir("kwl/formats.def");
    Start();
    ASSERT_EQ(View().messages.size(), 1u);
    EXPECT_EQ(View().messages[0].strText,
              FormatsUnusableMessage(Main().Language().GetLanguage(), Main().FormatsPath(),
                                     EFormatsProblem::NotAFile, 0));
    EXPECT_EQ(View().messages[0].eIcon, EMessageIcon::Warning);
    EXPECT_EQ(Main().FormatLines(),
              std::vector<std::string>(kDefaultFormats.begin(), kDefaultFormats.end()));
    EXPECT_EQ(Main().SelectedFormat(), std::string(kDefaultFormat));

    Main().OnLanguageFlag(ELanguage::German);
    View().defineAnswer = kNameSizeFormat;
    Main().OnDefineFormat();
    ASSERT_EQ(View().messages.size(), 2u);
    EXPECT_EQ(View().messages[1].strText, Text(kTextFormatNotStored));
    // The line is usable in this run all the same.
    EXPECT_EQ(Main().SelectedFormat(), kNameSizeFormat);
    EXPECT_TRUE(std::filesystem::is_directory(FormatsPath()));
    EXPECT_TRUE(NamesIn(FormatsPath()).empty());
}

// The new line goes after the file's last line, whatever that line ends with; nothing before
// it changes.
TEST_F(MainControllerTest, DefinedFormatIsListedSelectedAndStored) {
    const std::string kLines[] = {"1\nD-[D ]-name\nname", "1\nD-[D ]-name\nname\n",
                                  "1\r\nD-[D ]-name\r\nname\r\n"};
    for (const std::string& strFile : kLines) {
        SCOPED_TRACE(testing::PrintToString(strFile));
        WriteFormats(strFile);
        Start();
        Main().OnDefineFormat(); // cancelled
        EXPECT_EQ(Main().FormatLines().size(), 2u);
        View().defineAnswer = kNameSizeFormat;
        Main().OnDefineFormat();
        EXPECT_EQ(Main().FormatLines().back(), kNameSizeFormat);
        EXPECT_EQ(View().formatList.back(), kNameSizeFormat);
        EXPECT_EQ(View().nSelectedFormat, 2);
        EXPECT_EQ(Main().SelectedFormat(), kNameSizeFormat);
        EXPECT_EQ(View().Text(IDC_SAMPLE_FILETEXT), "Name.ext 4321");
        const std::string strBefore = strFile.back() == '\n' ? strFile : strFile + "\n";
        EXPECT_EQ(ReadFile(FormatsPath()), strBefore + kNameSizeFormat + "\n");
        EXPECT_TRUE(View().messages.empty());
    }
}

// The preview shows the listing whole up to kPreviewLimit characters, its beginning beyond.
TEST_F(MainControllerTest, ComputeListFillsThePreviewUpToTheLimit) {
    struct SCase {
        const char* pszName;
        std::size_t nFiles;
        bool bShortened;
    };
    const std::string strLongName(100, 'n');
    const SCase cases[] = {
        {"short", 3, false},
        {"longer than the limit", kPreviewLimit / 100 + 10, true},
    };
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.pszName);
        CTempTree tree;
        for (std::size_t i = 0; i < c.nFiles; ++i)
            tree.AddFile(std::to_string(1000 + i) + strLongName);
        Start();
        ChooseDirectory(tree.Root());
        Main().OnComputeList();
        const std::string strListing = Main().ListingText();
        const SPreviewCut cut = CutPreview(strListing);
        ASSERT_EQ(cut.bShortened, c.bShortened);
        EXPECT_EQ(View().Text(IDC_PREVIEW), cut.strShown);
        EXPECT_EQ(View().Text(IDC_OUTPUT_TITLE),
                  Text(c.bShortened ? kTextPreviewTitle : kTextCompleteOutput));
        EXPECT_EQ(strListing.size() > kPreviewLimit, c.bShortened);
        EXPECT_EQ(View().progressRuns.back().strTitle,
                  ProgressText(EProgressText::ListingTitle, ELanguage::English));
    }
}

// Each export writes the bytes kwl-list writes for the same tree, format, language and
// separator, and asks for its file as the window must.
TEST_F(MainControllerTest, ExportsAreWhatKwlListWrites) {
    enum class EExport { Clipboard, TextFile, Html, Browsable };
    struct SCase {
        const char* pszName;
        EExport eExport;
        std::string strSeparator;
        std::vector<std::string> options;
    };
    using enum EExport;
    const SCase cases[] = {
        {"clipboard", Clipboard, "", {}},
        {"text with ;", TextFile, ";", {"-e", "text", "-s", ";"}},
        {"text with a tab", TextFile, "\t", {"-e", "text", "-s", "\t"}},
        {"text with \xE2\x82\xAC", TextFile, "\xE2\x82\xAC", {"-e", "text", "-s", "\xE2\x82\xAC"}},
        {"HTML table", Html, "", {"-e", "html"}},
        {"browsable page", Browsable, "", {"-e", "html-app"}},
    };
    const std::string strDir = MakeExampleTree(m_tree);
    // The first read of a directory after it changed moves its access time (relatime), which
    // the page shows: read once before either side does.
    KwlListOutput({"-e", "html-app"}, strDir);
    // The page says when the tree was read; the two reads differ in that alone.
    const auto fnWithoutScanTime = [](std::string strPage) {
        const std::size_t nStart = strPage.find("\"scanned\":");
        const std::size_t nEnd = strPage.find(',', nStart);
        return nStart == std::string::npos ? strPage : strPage.erase(nStart, nEnd - nStart);
    };
    for (ELanguage eLanguage : {ELanguage::English, ELanguage::German}) {
        for (const SCase& c : cases) {
            SCOPED_TRACE(testing::Message() << c.pszName << ", " << LanguageId(eLanguage));
            WriteFormats(std::to_string(LanguageId(eLanguage)) + "\nD-[D ]-name\n" +
                         kNameSizeFormat + "\n");
            Start();
            ListDirectory(strDir, 1);
            const std::string strPath = m_out.Path("export");
            std::filesystem::remove(strPath);
            std::vector<std::string> options = c.options;
            options.insert(options.end(), {"-l", eLanguage == ELanguage::English ? "en" : "de"});
            const std::string strExpected = KwlListOutput(options, strDir);
            switch (c.eExport) {
            case Clipboard:
                Main().OnExportClipboard();
                ASSERT_TRUE(View().clipboard);
                EXPECT_EQ(*View().clipboard, strExpected);
                EXPECT_EQ(*View().clipboard, Main().ListingText());
                break;
            case TextFile:
                View().separatorAnswer = c.strSeparator;
                View().saveAnswer = SSaveChoice{strPath, 0};
                Main().OnExportTextfile();
                EXPECT_EQ(View().strSaveName, "KWL.txt");
                ASSERT_EQ(View().saveTypes.size(), 1u);
                EXPECT_EQ(View().saveTypes[0].strDescription, "txt " + Text(kTextFilesWord));
                EXPECT_EQ(View().saveTypes[0].strExtension, "txt");
                EXPECT_EQ(ReadFile(strPath), strExpected);
                break;
            case Html:
            case Browsable:
                View().saveAnswer = SSaveChoice{strPath, c.eExport == Html ? 0u : 1u};
                Main().OnExportHtml();
                EXPECT_EQ(View().strSaveName, "KWL.html");
                ASSERT_EQ(View().saveTypes.size(), 2u);
                EXPECT_EQ(View().saveTypes[0].strDescription,
                          ExportText(EExportText::HtmlTable, eLanguage));
                EXPECT_EQ(View().saveTypes[1].strDescription,
                          ExportText(EExportText::BrowsablePage, eLanguage));
                EXPECT_EQ(fnWithoutScanTime(ReadFile(strPath)), fnWithoutScanTime(strExpected));
                break;
            }
            EXPECT_TRUE(View().messages.empty());
            // An export changes nothing on screen and can be repeated.
            EXPECT_TRUE(ExportsEnabled());
            EXPECT_FALSE(View().IsEnabled(IDC_COMPUTE_LIST));
        }
    }
}

// Cancelled dialogs write nothing; a file that cannot be written is said, with the reason
// on a line of its own; a clipboard that cannot be opened too.
TEST_F(MainControllerTest, ExportFailuresAndCancelsAreHandled) {
    WriteFormats("1\nD-[D ]-name\n" + kNameSizeFormat + "\n");
    Start();
    ListDirectory(MakeExampleTree(m_tree), 1);
    const std::string strMissingFolder = m_out.Path("missing/KWL.txt");

    Main().OnExportTextfile(); // separator dialog cancelled
    View().separatorAnswer = ";";
    Main().OnExportTextfile(); // save dialog cancelled
    Main().OnExportHtml();     // save dialog cancelled
    EXPECT_TRUE(View().messages.empty());
    EXPECT_TRUE(NamesIn(m_out.Root()).empty());

    View().separatorAnswer = ";";
    View().saveAnswer = SSaveChoice{strMissingFolder, 0};
    Main().OnExportTextfile();
    for (std::size_t nType : {0u, 1u}) {
        View().saveAnswer = SSaveChoice{strMissingFolder, nType};
        Main().OnExportHtml();
    }
    ASSERT_EQ(View().messages.size(), 3u);
    for (const CRecordingView::SMessage& message : View().messages) {
        const std::string strHead = Text(kTextWriteError) + "\n";
        EXPECT_EQ(message.strText.substr(0, strHead.size()), strHead);
        EXPECT_GT(message.strText.size(), strHead.size()); // the reason
    }

    View().bClipboardWorks = false;
    Main().OnExportClipboard();
    ASSERT_EQ(View().messages.size(), 4u);
    EXPECT_EQ(View().messages.back().strText, Text(kTextClipboardFailed));
}

// Cancel in the progress window of a rebuild leaves the state of a cancel before any choice;
// a cancelled listing changes nothing.
TEST_F(MainControllerTest, CancelledRebuildForgetsTheDirectory) {
    Start();
    const std::string strDir = MakeExampleTree(m_tree);
    ChooseDirectory(strDir);
    Main().OnComputeList();
    const std::string strPreview = View().Text(IDC_PREVIEW);
    ASSERT_FALSE(strPreview.empty());

    View().bCancelNextWork = true;
    Main().OnComputeList();
    EXPECT_EQ(View().Text(IDC_PREVIEW), strPreview);
    EXPECT_TRUE(ExportsEnabled());

    View().bCancelNextWork = true;
    ChooseDirectory(strDir);
    EXPECT_EQ(View().progressRuns.back().strTitle,
              ProgressText(EProgressText::ReadingTitle, ELanguage::English));
    EXPECT_FALSE(Main().IsDirChosen());
    EXPECT_EQ(View().Text(IDC_DIRECTORY_LABEL), Text(kTextNoDirectory));
    EXPECT_FALSE(View().IsEnabled(IDC_COMPUTE_LIST));
    EXPECT_FALSE(ExportsEnabled());
    EXPECT_EQ(View().Text(IDC_PREVIEW), "");
    ASSERT_NE(Main().Root(), nullptr);
    EXPECT_EQ(Main().Root()->m_pFirstSubDir, nullptr);
    EXPECT_EQ(Main().Root()->m_pFirstFile, nullptr);
    // A later cancel of the chooser reads nothing.
    CancelChooser();
    EXPECT_EQ(Main().Root()->m_pFirstFile, nullptr);
    EXPECT_TRUE(View().messages.empty());
}

TEST_F(MainControllerTest, AboutOpensTheAboutBox) {
    Start();
    Main().OnAbout();
    EXPECT_EQ(View().nAboutShown, 1);
}

} // namespace
