#include <gtk/gtk.h>
#include <wx/bmpbuttn.h>
#include <wx/checkbox.h>
#include <wx/combobox.h>
#include <wx/msgdlg.h>

#include <wx/uiaction.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <vector>

#include "DialogDriver.h"
#include "GuiTest.h"
#include "platform/Encoding.h"
#include "lang/DialogText.h"
#include "lang/FormatsFileTexts.h"
#include "lang/ScanErrorTexts.h"
#include "ui/KWLDlg.h"
#include "ui/ProgressDlg.h"
#include "lang/TextId.h"
#include "dialogs/WorkingDirectory.h"
#include "support/ButtonRuleCases.h"
#include "ui/WxText.h"

namespace {

using DlgPtr = TWindowPtr<CKWLDlg>;

const std::string kDefaultFile = "1\nD-[D ]-name\nname|F-[(]-F-size-F-[ bytes)]|[\\[]-crTime-[\\]]\n"
                                 "name|D-[(]-D-size-D-[ bytes)]\n";

constexpr int kExportIds[] = {IDC_EXPORT_CLIPBOARD, IDC_EXPORT_TEXTFILE, IDC_EXPORT_HTML};

bool ExportsEnabled(wxWindow* pDlg) {
    for (int nId : kExportIds) {
        if (IsEnabled(pDlg, nId))
            return true;
    }
    return false;
}

class MainDlgTest : public CGuiTest {
protected:
    // A small tree: sub/deep/d.txt, sub/c.txt, a.txt, b.txt.
    std::string MakeTree() {
        m_tree.AddFile("x/sub/deep/d.txt", 4);
        m_tree.AddFile("x/sub/c.txt", 3);
        m_tree.AddFile("x/a.txt", 1);
        m_tree.AddFile("x/b.txt", 2);
        return m_tree.Path("x");
    }
    void ChooseDirectory(CKWLDlg* pDlg, const std::string& strPath) {
        wxTEST_DIALOG(Click(pDlg, IDC_SELECT_DIRECTORY),
                      wxExpectModal<wxDirDialog>(ToWx(strPath)));
    }
    void CancelChooser(CKWLDlg* pDlg) {
        wxTEST_DIALOG(Click(pDlg, IDC_SELECT_DIRECTORY),
                      wxExpectModal<wxDirDialog>(wxString(), wxID_CANCEL));
    }

    CTempTree m_tree;
};

TEST_F(MainDlgTest, StartUpState) {
    DlgPtr pDlg = ShowMainDialog();
    EXPECT_EQ(ReadFormats(), kDefaultFile);
    EXPECT_EQ(ReadFormats().size(), 91u);
    EXPECT_EQ(pDlg->GetTitle(), "KWL - Kawlen");
    EXPECT_FALSE(IsEnabled(pDlg.get(), IDC_COMPUTE_LIST));
    EXPECT_FALSE(ExportsEnabled(pDlg.get()));
    EXPECT_EQ(TextOf(pDlg.get(), IDC_OUTPUT_TITLE), "");
    EXPECT_FALSE(dynamic_cast<wxCheckBox*>(pDlg->FindWindow(IDC_RECURSIVE))->GetValue());
    // English is stored in a new formats.def: its flag is the disabled one.
    EXPECT_FALSE(IsEnabled(pDlg.get(), IDC_FLAG_ENGLISH));
    EXPECT_TRUE(IsEnabled(pDlg.get(), IDC_FLAG_GERMAN));
    EXPECT_EQ(TextOf(pDlg.get(), IDC_FORMATS), "D-[D ]-name");
    EXPECT_EQ(dynamic_cast<wxComboBox*>(pDlg->FindWindow(IDC_FORMATS))->GetCount(), 3u);
    EXPECT_EQ(TextOf(pDlg.get(), IDC_SAMPLE_FILETEXT), "Name.ext");
    EXPECT_EQ(TextOf(pDlg.get(), IDC_SAMPLE_DIRTEXT), "D Name");
    EXPECT_EQ(TextOf(pDlg.get(), IDC_DIRECTORY_LABEL), "[No Directory Selected]");
    EXPECT_EQ(TextOf(pDlg.get(), IDC_SELECT_DIRECTORY), "Select &Directory...");
    EXPECT_EQ(TextOf(pDlg.get(), IDC_GROUP_STEP1), " Step 1 - Set Options: ");
    EXPECT_FALSE(pDlg->FindWindow(IDC_DEFAULT_BUTTON)->IsShown());
}

TEST_F(MainDlgTest, TemplateRowsBecomeControlsInTabOrder) {
    DlgPtr pDlg = ShowMainDialog();
    EXPECT_EQ(pDlg->GetClientSize(), pDlg->ConvertDialogToPixels(wxSize(369, 298)));
    ForEachTemplateControl(*pDlg, [](const SControlTemplate& row, wxWindow& control,
                                     const wxRect& rect) {
        EXPECT_EQ(control.GetPosition(), rect.GetPosition());
        if (row.eKind != EControlKind::ComboBox)
            EXPECT_EQ(control.GetSize(), rect.GetSize());
        else
            EXPECT_EQ(control.GetSize().x, rect.width);
        EXPECT_EQ(control.IsShown(), (row.nFlags & kHidden) == 0);
    });
}

TEST_F(MainDlgTest, InvalidDefaultFormatShowsTheMessageInGermanAtStartUp) {
    // The list is loaded before the stored language is applied.
    WriteFormats("1\nname|size\nD-[D ]-name-\n");
    DlgPtr pDlg;
    wxTEST_DIALOG(pDlg = ShowMainDialog(),
                  wxExpectModal<wxMessageDialog>(wxOK).Describe("entry 41"));
    EXPECT_EQ(TextOf(pDlg.get(), IDC_FORMATS), "D-[D ]-name-");
    EXPECT_EQ(pDlg->SelectedFormat(), "");
    EXPECT_FALSE(IsEnabled(pDlg.get(), IDC_COMPUTE_LIST));
}

TEST_F(MainDlgTest, InvalidFormatSelectedShowsEntry41AndDisablesCompute) {
    WriteFormats("1\nD-[D ]-name\nname|siz\n");
    DlgPtr pDlg = ShowMainDialog();
    ChooseDirectory(pDlg.get(), MakeTree());
    ASSERT_TRUE(IsEnabled(pDlg.get(), IDC_COMPUTE_LIST));
    wxTEST_DIALOG(ChooseEntry(pDlg.get(), IDC_FORMATS, 1),
                  wxExpectModal<wxMessageDialog>(wxOK).Describe("entry 41"));
    EXPECT_FALSE(IsEnabled(pDlg.get(), IDC_COMPUTE_LIST));
    EXPECT_EQ(pDlg->SelectedFormat(), "");
    // Choosing it again changes nothing and shows nothing.
    ChooseEntry(pDlg.get(), IDC_FORMATS, 1);
    // Back to a valid one: compute is offered again, since a directory was chosen.
    ChooseEntry(pDlg.get(), IDC_FORMATS, 0);
    EXPECT_TRUE(IsEnabled(pDlg.get(), IDC_COMPUTE_LIST));
}

TEST_F(MainDlgTest, TypedComboTextSelectsNothing) {
    DlgPtr pDlg = ShowMainDialog();
    auto* pCombo = dynamic_cast<wxComboBox*>(pDlg->FindWindow(IDC_FORMATS));
    pCombo->SetValue("name|size"); // raises the text event as typing does
    Flush();
    EXPECT_EQ(pDlg->SelectedFormat(), "D-[D ]-name");
    EXPECT_EQ(TextOf(pDlg.get(), IDC_SAMPLE_FILETEXT), "Name.ext");
}

TEST_F(MainDlgTest, LanguageSwitchAndBack) {
    DlgPtr pDlg = ShowMainDialog();
    Click(pDlg.get(), IDC_FLAG_GERMAN);
    EXPECT_EQ(pDlg->Language().GetLanguage(), ELanguage::German);
    EXPECT_FALSE(IsEnabled(pDlg.get(), IDC_FLAG_GERMAN));
    EXPECT_TRUE(IsEnabled(pDlg.get(), IDC_FLAG_ENGLISH));
    EXPECT_EQ(ReadFormats(), "0" + kDefaultFile.substr(1));
    for (const SControlTemplate& row : pDlg->Template()) {
        if (row.eText != kNoText) {
            EXPECT_EQ(TextOf(pDlg.get(), row.nId), ToWx(pDlg->Language().GetText(row.eText)))
                << row.nId;
        }
    }
    EXPECT_EQ(TextOf(pDlg.get(), IDC_DIRECTORY_LABEL), ToWx("[Kein Verzeichnis ausgewählt]"));
    EXPECT_EQ(TextOf(pDlg.get(), IDC_QUIT), "&Beenden");

    Click(pDlg.get(), IDC_FLAG_ENGLISH);
    EXPECT_EQ(ReadFormats(), kDefaultFile);
    EXPECT_EQ(TextOf(pDlg.get(), IDC_QUIT), "&Quit");
    EXPECT_EQ(TextOf(pDlg.get(), IDC_DIRECTORY_LABEL), "[No Directory Selected]");
}

TEST_F(MainDlgTest, LanguageSwitchKeepsTheChosenDirectoryAndTheOutputTitle) {
    DlgPtr pDlg = ShowMainDialog();
    const std::string strDir = MakeTree();
    ChooseDirectory(pDlg.get(), strDir);
    Click(pDlg.get(), IDC_COMPUTE_LIST);
    Click(pDlg.get(), IDC_FLAG_GERMAN);
    EXPECT_EQ(TextOf(pDlg.get(), IDC_DIRECTORY_LABEL), ToWx(strDir));
    EXPECT_EQ(TextOf(pDlg.get(), IDC_OUTPUT_TITLE), "Complete Output:");
}

TEST_F(MainDlgTest, UnreadableFormatsFileIsNeverReplaced) {
    // A directory in its place cannot be read, not even by root.
    m_config.AddDir("kwl/formats.def/keep");
    DlgPtr pDlg;
    wxTEST_DIALOG(pDlg = ShowMainDialog(),
                  CExpectMessage(FormatsUnusableMessage(ELanguage::English, FormatsPath(),
                                                        EFormatsProblem::NotAFile, 0))
                      .Describe("the one message about formats.def"));
    EXPECT_EQ(pDlg->FormatLines().size(), 3u); // the defaults are offered all the same
    EXPECT_EQ(TextOf(pDlg.get(), IDC_SAMPLE_DIRTEXT), "D Name");
    Click(pDlg.get(), IDC_FLAG_GERMAN);
    EXPECT_EQ(TextOf(pDlg.get(), IDC_QUIT), "&Beenden");
    EXPECT_TRUE(std::filesystem::is_directory(m_config.Path("kwl/formats.def/keep")));
}

// A link to a device or a FIFO in its place: said once, the defaults offered, nothing read
// without end, nothing written.
TEST_F(MainDlgTest, FormatsFileThatIsNoFileIsSaidOnceAndNeverWritten) {
    const std::string strPath = FormatsPath();
    std::filesystem::create_directories(std::filesystem::path(strPath).parent_path());
    for (int nCase = 0; nCase < 2; ++nCase) {
        std::filesystem::remove(strPath);
        if (nCase == 0)
            std::filesystem::create_symlink("/dev/zero", strPath);
        else
            ASSERT_EQ(mkfifo(strPath.c_str(), 0644), 0);
        DlgPtr pDlg;
        wxTEST_DIALOG(pDlg = ShowMainDialog(),
                      CExpectMessage(FormatsUnusableMessage(ELanguage::English, strPath,
                                                            EFormatsProblem::NotAFile, 0))
                          .Describe("the one message about formats.def"));
        EXPECT_EQ(pDlg->FormatLines().size(), 3u);
        Click(pDlg.get(), IDC_FLAG_GERMAN);
        EXPECT_EQ(TextOf(pDlg.get(), IDC_QUIT), "&Beenden");
        EXPECT_EQ(nCase == 0 ? std::filesystem::is_symlink(strPath)
                             : std::filesystem::is_fifo(strPath),
                  true);
    }
}

// A picture or a program in its place is no format file: said as for the others, the defaults
// offered, the file kept as it is across a language switch.
TEST_F(MainDlgTest, FormatsFileWithNulBytesIsSaidOnceAndLeftAsItIs) {
    std::string strBinary("1\nname\n\0\x01\x02garbage\xFF\nsize\n", 24);
    WriteFormats(strBinary);
    DlgPtr pDlg;
    wxTEST_DIALOG(pDlg = ShowMainDialog(),
                  CExpectMessage(FormatsUnusableMessage(ELanguage::English, FormatsPath(),
                                                        EFormatsProblem::NotText, 0))
                      .Describe("the one message about formats.def"));
    EXPECT_EQ(pDlg->FormatLines().size(), 3u);
    EXPECT_EQ(pDlg->SelectedFormat(), "D-[D ]-name");
    Click(pDlg.get(), IDC_FLAG_GERMAN);
    EXPECT_EQ(ReadFormats(), strBinary);
}

// An id that is neither language keeps German texts and both flags; each flag then gives its
// own language and stores it.
TEST_F(MainDlgTest, EachFlagGivesItsOwnLanguage) {
    WriteFormats("7\nD-[D ]-name\n");
    DlgPtr pDlg = ShowMainDialog();
    EXPECT_EQ(TextOf(pDlg.get(), IDC_QUIT), "&Beenden");
    EXPECT_TRUE(IsEnabled(pDlg.get(), IDC_FLAG_GERMAN));
    EXPECT_TRUE(IsEnabled(pDlg.get(), IDC_FLAG_ENGLISH));
    Click(pDlg.get(), IDC_FLAG_ENGLISH);
    EXPECT_EQ(TextOf(pDlg.get(), IDC_QUIT), "&Quit");
    EXPECT_EQ(ReadFormats(), "1\nD-[D ]-name\n");
    Click(pDlg.get(), IDC_FLAG_GERMAN);
    EXPECT_EQ(TextOf(pDlg.get(), IDC_QUIT), "&Beenden");
    EXPECT_EQ(ReadFormats(), "0\nD-[D ]-name\n");
}

// Nothing selected (no line begins with the default format): no listing can be asked for.
TEST_F(MainDlgTest, ComputeListNeedsAFormat) {
    WriteFormats("1\nname|[x]\n");
    DlgPtr pDlg = ShowMainDialog();
    EXPECT_EQ(pDlg->SelectedFormat(), "");
    wxTEST_DIALOG(Click(pDlg.get(), IDC_SELECT_DIRECTORY),
                  wxExpectModal<wxDirDialog>(ToWx(m_config.Root())).Describe("folder chooser"));
    EXPECT_FALSE(IsEnabled(pDlg.get(), IDC_COMPUTE_LIST));
}

TEST_F(MainDlgTest, StoredGermanStartsGerman) {
    WriteFormats("0\nD-[D ]-name\n");
    DlgPtr pDlg = ShowMainDialog();
    EXPECT_EQ(TextOf(pDlg.get(), IDC_QUIT), "&Beenden");
    EXPECT_FALSE(IsEnabled(pDlg.get(), IDC_FLAG_GERMAN));
    EXPECT_TRUE(IsEnabled(pDlg.get(), IDC_FLAG_ENGLISH));
}

TEST_F(MainDlgTest, DirectoryChoiceScansAndEnablesCompute) {
    DlgPtr pDlg = ShowMainDialog();
    const std::string strDir = MakeTree();
    ChooseDirectory(pDlg.get(), strDir);
    EXPECT_TRUE(pDlg->IsDirChosen());
    EXPECT_EQ(TextOf(pDlg.get(), IDC_DIRECTORY_LABEL), ToWx(ElideDirectoryLabel(strDir)));
    EXPECT_TRUE(IsEnabled(pDlg.get(), IDC_COMPUTE_LIST));
    EXPECT_FALSE(ExportsEnabled(pDlg.get()));
    ASSERT_NE(pDlg->Root(), nullptr);
    ASSERT_NE(pDlg->Root()->m_pFirstSubDir, nullptr);
    EXPECT_EQ(pDlg->Root()->m_pFirstSubDir->m_strName, "sub");
    EXPECT_EQ(pDlg->Root()->m_nFileCount, 2);
    // Not recursive: the subdirectory is an empty node.
    EXPECT_EQ(pDlg->Root()->m_pFirstSubDir->m_pFirstFile, nullptr);
}

TEST_F(MainDlgTest, LongPathIsElided) {
    DlgPtr pDlg = ShowMainDialog();
    const std::string strDir = m_tree.AddDir(
        "a-rather-long-folder-name-for-the-label/and-another-long-one-below-it");
    ChooseDirectory(pDlg.get(), strDir);
    const wxString strLabel = TextOf(pDlg.get(), IDC_DIRECTORY_LABEL);
    EXPECT_EQ(strLabel.length(), 63u);
    EXPECT_TRUE(strLabel.EndsWith("and-another-long-one-below-it"));
}

TEST_F(MainDlgTest, CancelAfterAChoiceRescansTheSameDirectory) {
    DlgPtr pDlg = ShowMainDialog();
    const std::string strDir = MakeTree();
    ChooseDirectory(pDlg.get(), strDir);
    Click(pDlg.get(), IDC_COMPUTE_LIST);
    const wxString strPreview = TextOf(pDlg.get(), IDC_PREVIEW);
    ASSERT_FALSE(strPreview.empty());
    // Recursive now, and a new file: the cancel rescans with both.
    Toggle(pDlg.get(), IDC_RECURSIVE, true);
    m_tree.AddFile("x/new.txt", 5);
    CancelChooser(pDlg.get());
    EXPECT_EQ(TextOf(pDlg.get(), IDC_DIRECTORY_LABEL), ToWx(strDir));
    EXPECT_EQ(TextOf(pDlg.get(), IDC_PREVIEW), strPreview); // display unchanged
    EXPECT_TRUE(ExportsEnabled(pDlg.get()));
    EXPECT_EQ(pDlg->Root()->m_nFileCount, 3);
    ASSERT_NE(pDlg->Root()->m_pFirstSubDir->m_pFirstSubDir, nullptr);
    EXPECT_EQ(pDlg->Root()->m_pFirstSubDir->m_pFirstSubDir->m_strName, "deep");
}

TEST_F(MainDlgTest, CancelBeforeAnyChoiceScansNothing) {
    DlgPtr pDlg = ShowMainDialog();
    CancelChooser(pDlg.get());
    EXPECT_FALSE(pDlg->IsDirChosen());
    EXPECT_FALSE(IsEnabled(pDlg.get(), IDC_COMPUTE_LIST));
    ASSERT_NE(pDlg->Root(), nullptr);
    EXPECT_EQ(pDlg->Root()->m_pFirstFile, nullptr);
    EXPECT_EQ(pDlg->Root()->m_pFirstSubDir, nullptr);
}

// ---- directories that cannot be read ----

// Every directory named strName fails part way through its reading (the fault shim linked into
// this program), as on a failing disk; the tests run as root, for whom modes bar nothing.
class CReadErrorIn {
public:
    explicit CReadErrorIn(const char* pszName) { setenv("KWL_TEST_READ_ERROR", pszName, 1); }
    ~CReadErrorIn() { unsetenv("KWL_TEST_READ_ERROR"); }
    CReadErrorIn(const CReadErrorIn&) = delete;
    CReadErrorIn& operator=(const CReadErrorIn&) = delete;
};

// More entries than the shim's first read returns, so that the later read fails.
void FillFailingDir(CTempTree& tree, const std::string& strDir) {
    for (int i = 0; i < 20; ++i)
        tree.AddFile(strDir + "/file-with-a-long-name-" + std::to_string(i) + ".txt", 1);
}

TEST_F(MainDlgTest, UnreadableDirectoriesAreSaidOnceAndTheTreeIsKept) {
    m_tree.AddFile("x/a.txt", 1);
    FillFailingDir(m_tree, "x/bad");
    FillFailingDir(m_tree, "x/t\tab/bad");
    const std::string strDir = m_tree.Path("x");
    const std::vector<SScanError> expected = {{strDir + "/bad", EIO}, {strDir + "/t\tab/bad", EIO}};
    const std::string strMessage = UnreadableDirectoriesMessage(ELanguage::English, expected);
    ASSERT_NE(strMessage.find("2 directories"), std::string::npos);
    ASSERT_NE(strMessage.find("\n  " + strDir + "/t?ab/bad\n"), std::string::npos);

    DlgPtr pDlg = ShowMainDialog();
    Toggle(pDlg.get(), IDC_RECURSIVE, true);
    {
        const CReadErrorIn fail("bad");
        wxTEST_DIALOG(Click(pDlg.get(), IDC_SELECT_DIRECTORY),
                      wxExpectModal<wxDirDialog>(ToWx(strDir)),
                      CExpectMessage(strMessage).Describe("the one message about the scan"));
    }
    EXPECT_TRUE(pDlg->IsDirChosen());
    EXPECT_EQ(TextOf(pDlg.get(), IDC_DIRECTORY_LABEL), ToWx(strDir));
    // The tree as far as it was read: listed, and every export offered.
    Click(pDlg.get(), IDC_COMPUTE_LIST);
    const std::string& strListing = pDlg->ListingText();
    EXPECT_NE(strListing.find("D bad\r\n"), std::string::npos);
    EXPECT_NE(strListing.find("D t?ab\r\n"), std::string::npos);
    EXPECT_NE(strListing.find("a.txt"), std::string::npos);
    EXPECT_TRUE(IsEnabled(pDlg.get(), IDC_EXPORT_HTML));
    // A rebuild that reads everything says nothing.
    CancelChooser(pDlg.get());
    EXPECT_NE(pDlg->ListingText().find("a.txt"), std::string::npos);
}

TEST_F(MainDlgTest, MoreThanTenUnreadableDirectoriesAreCountedInGerman) {
    std::vector<SScanError> expected;
    for (int i = 0; i < 12; ++i) {
        const std::string strSub = "x/d" + std::to_string(10 + i) + "/bad";
        FillFailingDir(m_tree, strSub);
        expected.push_back({m_tree.Path(strSub), EIO});
    }
    const std::string strMessage = UnreadableDirectoriesMessage(ELanguage::German, expected);
    ASSERT_NE(strMessage.find("12 Verzeichnisse"), std::string::npos);
    ASSERT_NE(strMessage.find(m_tree.Path("x/d19/bad")), std::string::npos);
    ASSERT_EQ(strMessage.find(m_tree.Path("x/d20/bad")), std::string::npos);
    ASSERT_NE(strMessage.find("\n  \xE2\x80\xA6und 2 weitere\n"), std::string::npos);

    DlgPtr pDlg = ShowMainDialog();
    Click(pDlg.get(), IDC_FLAG_GERMAN);
    Toggle(pDlg.get(), IDC_RECURSIVE, true);
    {
        const CReadErrorIn fail("bad");
        wxTEST_DIALOG(Click(pDlg.get(), IDC_SELECT_DIRECTORY),
                      wxExpectModal<wxDirDialog>(ToWx(m_tree.Path("x"))),
                      CExpectMessage(strMessage).Describe("the one message about the scan"));
    }
    Click(pDlg.get(), IDC_COMPUTE_LIST);
    EXPECT_NE(pDlg->ListingText().find("D d21\r\n"), std::string::npos);
}

// ---- working directory ----

// The program's own step after a rebuild; the scan itself leaves the working directory alone.
TEST_F(MainDlgTest, RebuildMovesToTheParentOfTheChosenDirectory) {
    DlgPtr pDlg = ShowMainDialog();
    const std::string strStart = CurrentWorkingDir();
    CancelChooser(pDlg.get()); // nothing chosen: nothing scanned, nowhere to move
    EXPECT_EQ(CurrentWorkingDir(), strStart);
    const std::string strParent = std::filesystem::canonical(m_tree.Root()).string();
    ChooseDirectory(pDlg.get(), MakeTree());
    EXPECT_EQ(CurrentWorkingDir(), strParent);
    // A cancel rescans the same directory, and moves again.
    ASSERT_EQ(chdir("/"), 0);
    CancelChooser(pDlg.get());
    EXPECT_EQ(CurrentWorkingDir(), strParent);
}

TEST(DesktopWorkingDirectory, ParentOfTheChosenDirectoryBecomesTheWorkingDirectory) {
    CTempTree tree;
    const CWorkingDirGuard guard;
    tree.AddFile("a/b/chosen/f", 1);
    tree.AddFile("a/b/plain", 1);
    tree.AddDir("elsewhere");
    const std::string strRoot = tree.Root();
    struct SCase {
        std::string strStart; // working directory before
        std::string strPath;
    };
    const SCase cases[] = {
        {"/", strRoot + "/a/b/chosen"},
        {"/", strRoot + "/a/b/chosen/"},
        {strRoot, "a/b/chosen"},
        {strRoot, "a/b/chosen/"},
        {strRoot, "./a//b/chosen"},
        {strRoot + "/a/b", "chosen"},
        {strRoot + "/a/b/chosen", "."},
        {strRoot + "/elsewhere", "../a/b/chosen"},
        // Not a directory that can be entered: its parent by name.
        {"/", strRoot + "/a/b/missing"},
        {strRoot, "a/b/plain/"},
        {strRoot + "/elsewhere", "../a/b/missing/"},
    };
    const std::string strExpected = std::filesystem::canonical(strRoot + "/a/b").string();
    for (const SCase& c : cases) {
        SCOPED_TRACE("from " + c.strStart + " choosing " + c.strPath);
        ASSERT_EQ(chdir(c.strStart.c_str()), 0);
        ChangeToParentDirectory(c.strPath);
        EXPECT_EQ(CurrentWorkingDir(), strExpected);
    }
    ChangeToParentDirectory(""); // no choice
    EXPECT_EQ(CurrentWorkingDir(), strExpected);
}

TEST_F(MainDlgTest, CompleteListingIsShownWhole) {
    DlgPtr pDlg = ShowMainDialog();
    const std::string strDir = MakeTree();
    Toggle(pDlg.get(), IDC_RECURSIVE, true);
    ChooseDirectory(pDlg.get(), strDir);
    Click(pDlg.get(), IDC_COMPUTE_LIST);
    const std::string strExpected = "Listing of Directory " + strDir +
                                    ":\r\n\r\nD sub\r\n  D deep\r\n    d.txt\r\n  c.txt\r\n"
                                    "a.txt\r\nb.txt";
    EXPECT_EQ(pDlg->ListingText(), strExpected);
    EXPECT_EQ(FromWx(TextOf(pDlg.get(), IDC_PREVIEW)), strExpected);
    EXPECT_EQ(TextOf(pDlg.get(), IDC_OUTPUT_TITLE), "Complete Output:");
    EXPECT_FALSE(IsEnabled(pDlg.get(), IDC_COMPUTE_LIST));
    EXPECT_TRUE(IsEnabled(pDlg.get(), IDC_EXPORT_CLIPBOARD));
    EXPECT_TRUE(IsEnabled(pDlg.get(), IDC_EXPORT_TEXTFILE));
    EXPECT_TRUE(IsEnabled(pDlg.get(), IDC_EXPORT_HTML));
}

TEST_F(MainDlgTest, LongListingIsShortenedInThePreviewOnly) {
    DlgPtr pDlg = ShowMainDialog();
    // Names of 164 characters, umlauts included, so the cut falls among multibyte sequences.
    std::string strName;
    for (int i = 0; i < 80; ++i)
        strName += "\xC3\xA4x";
    const std::size_t nFiles = kPreviewLimit / 166 + 10;
    for (std::size_t i = 0; i < nFiles; ++i)
        m_tree.AddFile("big/" + std::to_string(1000 + i) + strName);
    ChooseDirectory(pDlg.get(), m_tree.Path("big"));
    Click(pDlg.get(), IDC_COMPUTE_LIST);
    const std::string strShown = FromWx(TextOf(pDlg.get(), IDC_PREVIEW));
    EXPECT_EQ(Utf8Length(strShown), kPreviewLimit);
    EXPECT_TRUE(IsValidUtf8(strShown));
    EXPECT_TRUE(pDlg->ListingText().starts_with(strShown)); // no dump of 100,000 characters
    EXPECT_GT(pDlg->ListingText().size(), strShown.size());
    EXPECT_EQ(TextOf(pDlg.get(), IDC_OUTPUT_TITLE), "Preview (incomplete output):");
}

TEST_F(MainDlgTest, NamesThatAreNotUtf8AreStillShown) {
    DlgPtr pDlg = ShowMainDialog();
    m_tree.AddFile("bad/caf\xE9.txt");
    ChooseDirectory(pDlg.get(), m_tree.Path("bad"));
    Click(pDlg.get(), IDC_COMPUTE_LIST);
    EXPECT_TRUE(TextOf(pDlg.get(), IDC_PREVIEW).EndsWith(wxString::FromUTF8("caf\xEF\xBF\xBD.txt")));
}

// The action buttons after a sequence of user events, from a fresh start.
TEST_F(MainDlgTest, ButtonRules) {
    using enum EButtonStep;
    const std::string strDir = MakeTree();
    for (const SButtonRuleCase& c : ButtonRuleCases()) {
        SCOPED_TRACE(c.pszName);
        WriteFormats("1\nD-[D ]-name\nname\nname|siz\n");
        DlgPtr pDlg = ShowMainDialog();
        for (EButtonStep eStep : c.steps) {
            switch (eStep) {
            case ChooseDir: ChooseDirectory(pDlg.get(), strDir); break;
            case CancelDir: CancelChooser(pDlg.get()); break;
            case SelectOther: ChooseEntry(pDlg.get(), IDC_FORMATS, 1); break;
            case SelectInvalid:
                wxTEST_DIALOG(ChooseEntry(pDlg.get(), IDC_FORMATS, 2),
                              wxExpectModal<wxMessageDialog>(wxOK).Describe("entry 41"));
                break;
            case SelectSame: ChooseEntry(pDlg.get(), IDC_FORMATS, 0); break;
            case Compute: Click(pDlg.get(), IDC_COMPUTE_LIST); break;
            case Recursive: Toggle(pDlg.get(), IDC_RECURSIVE, true); break;
            case Flag: Click(pDlg.get(), IDC_FLAG_GERMAN); break;
            }
        }
        EXPECT_EQ(IsEnabled(pDlg.get(), IDC_COMPUTE_LIST), c.bCompute);
        for (int nId : kExportIds)
            EXPECT_EQ(IsEnabled(pDlg.get(), nId), c.bExports) << nId;
    }
}

TEST_F(MainDlgTest, RecursiveBoxTakesEffectAtTheNextListing) {
    DlgPtr pDlg = ShowMainDialog();
    const std::string strDir = MakeTree();
    ChooseDirectory(pDlg.get(), strDir);
    Toggle(pDlg.get(), IDC_RECURSIVE, true);
    Click(pDlg.get(), IDC_COMPUTE_LIST);
    // Scanned without the option: the subdirectory has no contents to list.
    EXPECT_EQ(pDlg->ListingText(),
              "Listing of Directory " + strDir + ":\r\n\r\nD sub\r\na.txt\r\nb.txt");
}

TEST_F(MainDlgTest, EnterNeverClosesTheDialog) {
    DlgPtr pDlg = ShowMainDialog();
    for (int nId : {IDC_RECURSIVE, IDC_FORMATS, IDC_PREVIEW}) {
        pDlg->FindWindow(nId)->SetFocus();
        Flush();
        wxUIActionSimulator().Char(WXK_RETURN);
        Flush();
        EXPECT_TRUE(pDlg->IsShown()) << nId;
    }
}

TEST_F(MainDlgTest, QuitEscapeAndCloseEndTheModalDialog) {
    for (int nWay = 0; nWay < 3; ++nWay) {
        SCOPED_TRACE(nWay);
        CKWLDlg dlg;
        dlg.CallAfter([&dlg, nWay] {
            if (nWay == 0)
                Click(&dlg, IDC_QUIT);
            else if (nWay == 1)
                wxUIActionSimulator().Char(WXK_ESCAPE);
            else
                dlg.Close();
        });
        EXPECT_EQ(dlg.ShowModal(), wxID_CANCEL);
    }
}

// Reading the whole file system takes far longer than the half second after which the
// progress window shows; its Cancel leaves the state of a cancel before any choice.
TEST_F(MainDlgTest, CancelledScanForgetsTheDirectory) {
    DlgPtr pDlg = ShowMainDialog();
    ChooseDirectory(pDlg.get(), MakeTree());
    Click(pDlg.get(), IDC_COMPUTE_LIST);
    Toggle(pDlg.get(), IDC_RECURSIVE, true);
    wxTEST_DIALOG(Click(pDlg.get(), IDC_SELECT_DIRECTORY), wxExpectModal<wxDirDialog>("/"),
                  wxExpectDismissableModal<CProgressDlg>(wxID_CANCEL).Describe("progress"));
    EXPECT_FALSE(pDlg->IsDirChosen());
    EXPECT_EQ(TextOf(pDlg.get(), IDC_DIRECTORY_LABEL), "[No Directory Selected]");
    EXPECT_FALSE(IsEnabled(pDlg.get(), IDC_COMPUTE_LIST));
    EXPECT_FALSE(ExportsEnabled(pDlg.get()));
    EXPECT_EQ(TextOf(pDlg.get(), IDC_PREVIEW), "");
    ASSERT_NE(pDlg->Root(), nullptr);
    EXPECT_EQ(pDlg->Root()->m_pFirstSubDir, nullptr);
    EXPECT_EQ(pDlg->Root()->m_pFirstFile, nullptr);
    // A later cancel of the chooser scans nothing.
    CancelChooser(pDlg.get());
    EXPECT_EQ(pDlg->Root()->m_pFirstSubDir, nullptr);
}


// ---- the format list ----

std::string NumberedFormats(int nLines) {
    std::string strFile = "1\n";
    char szLine[32];
    for (int i = 0; i < nLines; ++i) {
        std::snprintf(szLine, sizeof szLine, "name|[L%05d]\n", i);
        strFile += szLine;
    }
    return strFile;
}

bool PopupShown(GtkComboBox* pBox) {
    gboolean bShown = FALSE;
    g_object_get(pBox, "popup-shown", &bShown, nullptr);
    return bShown != FALSE;
}

// However many lines formats.def holds, the list drops down on the screen, scrolls to its end
// with the keyboard and selects the last line, which then is the format in use.
TEST_F(MainDlgTest, LongFormatListDropsDownAndSelectsItsLastLine) {
    for (const int nLines : {2000, 100000}) {
        SCOPED_TRACE(nLines);
        WriteFormats(NumberedFormats(nLines));
        DlgPtr pDlg = ShowMainDialog();
        auto* pCombo = dynamic_cast<wxComboBox*>(pDlg->FindWindow(IDC_FORMATS));
        ASSERT_EQ(pCombo->GetCount(), static_cast<unsigned>(nLines));
        auto* pBox = GTK_COMBO_BOX(pCombo->GetHandle());
        pCombo->SetFocus();
        gtk_combo_box_popup(pBox);
        Flush();
        ASSERT_TRUE(PopupShown(pBox));
        GtkWidget* pList =
            gtk_accessible_get_widget(GTK_ACCESSIBLE(gtk_combo_box_get_popup_accessible(pBox)));
        EXPECT_LE(gtk_widget_get_allocated_height(gtk_widget_get_toplevel(pList)),
                  wxGetDisplaySize().y);
        wxUIActionSimulator sim;
        sim.Char(WXK_END);
        Flush();
        sim.Char(WXK_RETURN);
        Flush();
        EXPECT_FALSE(PopupShown(pBox));
        char szLast[32];
        std::snprintf(szLast, sizeof szLast, "L%05d", nLines - 1);
        EXPECT_EQ(pCombo->GetSelection(), nLines - 1);
        EXPECT_EQ(pDlg->SelectedFormat(), "name|[" + std::string(szLast) + "]");
        EXPECT_EQ(TextOf(pDlg.get(), IDC_SAMPLE_FILETEXT), "Name.ext " + wxString(szLast));
    }
}

// A format line of a megabyte: the drop-down and the samples show its beginning (GTK drew the
// whole line as garbled glyphs), while the listing uses the whole line.
TEST_F(MainDlgTest, LongFormatLineIsShownShortenedAndListedWhole) {
    const std::string strText(1000000, 'x');
    const std::string strLine = "name|[" + strText + "]";
    WriteFormats("1\nD-[D ]-name\n" + strLine + "\n");
    DlgPtr pDlg = ShowMainDialog();
    ChooseDirectory(pDlg.get(), MakeTree());
    ChooseEntry(pDlg.get(), IDC_FORMATS, 1);
    ASSERT_EQ(pDlg->SelectedFormat(), strLine);
    auto* pCombo = dynamic_cast<wxComboBox*>(pDlg->FindWindow(IDC_FORMATS));
    EXPECT_EQ(pCombo->GetString(1), ToWx(ShownLine(strLine)));
    EXPECT_EQ(TextOf(pDlg.get(), IDC_SAMPLE_FILETEXT), ToWx(SampleLine("Name.ext\t" + strText)));
    EXPECT_EQ(TextOf(pDlg.get(), IDC_SAMPLE_DIRTEXT), ToWx(SampleLine("Name\t" + strText)));
    EXPECT_LE(TextOf(pDlg.get(), IDC_SAMPLE_FILETEXT).length(), kShownLineLimit);
    Click(pDlg.get(), IDC_COMPUTE_LIST);
    EXPECT_NE(pDlg->ListingText().find("\r\na.txt\t" + strText + "\r\n"), std::string::npos);
}

} // namespace
