// The three exports end to end from the main dialog: the bytes they write are the bytes that
// kwl-list writes for the same tree, format, language and separator.
#include <signal.h>
#include <sys/resource.h>

#include <wx/clipbrd.h>

#include <filesystem>
#include <optional>

#include "DialogDriver.h"
#include "support/Files.h"
#include "support/KwlList.h"
#include "output/ScannedTree.h"
#include "lang/DialogText.h"
#include "lang/TextId.h"
#include "ui/WxText.h"

namespace {

wxString ClipboardText() {
    wxString strText;
    if (wxTheClipboard->Open()) {
        wxTextDataObject data;
        if (wxTheClipboard->GetData(data))
            strText = data.GetText();
        wxTheClipboard->Close();
    }
    return strText;
}

void PutOnClipboard(const wxString& strText) {
    ASSERT_TRUE(wxTheClipboard->Open());
    wxTheClipboard->SetData(new wxTextDataObject(strText));
    wxTheClipboard->Close();
}

class ExportTest : public CGuiTest {
protected:
    // formats.def offers the default format and name|F-size (one directory column, two file
    // columns); nLanguage is stored in it.
    TWindowPtr<CKWLDlg> OpenWithNameSize(int nLanguage = 1) {
        WriteFormats(std::to_string(nLanguage) + "\nD-[D ]-name\n" + kNameSizeFormat + "\n");
        TWindowPtr<CKWLDlg> pDlg = ShowMainDialog();
        ChooseEntry(pDlg.get(), IDC_FORMATS, 1);
        return pDlg;
    }

    // Reads strDir recursively and computes the listing, which enables the exports.
    void ListDirectory(CKWLDlg* pDlg, const std::string& strDir) {
        Toggle(pDlg, IDC_RECURSIVE, true);
        wxTEST_DIALOG(Click(pDlg, IDC_SELECT_DIRECTORY), wxExpectModal<wxDirDialog>(ToWx(strDir)));
        Click(pDlg, IDC_COMPUTE_LIST);
        ASSERT_TRUE(IsEnabled(pDlg, IDC_EXPORT_TEXTFILE));
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

    // The save dialog as the exports must open it: the HTML export offers the table and the
    // browsable page (nFileType 1), the text export its one type.
    CExpectSave SaveAs(const std::string& strPath, const char* pszExtension, int nLanguage = 1,
                       int nFileType = -1) {
        const wxString strExt = pszExtension;
        if (strExt == "html") {
            const wxString strTypes =
                nLanguage == 1
                    ? "HTML table (*.html)|*.html|Browsable HTML page (*.html)|*.html"
                    : wxString::FromUTF8("HTML-Tabelle (*.html)|*.html|"
                                         "Durchsuchbare HTML-Seite (*.html)|*.html");
            return CExpectSave(strPath, "KWL.html", strTypes, nFileType);
        }
        const wxString strWord = nLanguage == 1 ? "Files" : "Dateien";
        return CExpectSave(strPath, "KWL." + strExt,
                           strExt + " " + strWord + " (*." + strExt + ")|*." + strExt);
    }

    std::string Text(const CKWLDlg* pDlg, ETextId eText) const {
        return pDlg->Language().GetText(eText);
    }

    CTempTree m_tree;
    CTempTree m_out;
};

TEST_F(ExportTest, TextFileIsWhatKwlListWrites) {
    struct SCase {
        std::optional<wxString> typed; // nothing typed: OK at once with ";"
        std::string strSeparator;
        int nLanguage;
    };
    const SCase cases[] = {
        {std::nullopt, ";", 1},
        {wxString(","), ",", 0},
        {wxString::FromUTF8("\xC3\xA9"), "\xC3\xA9", 1},         // é
        {wxString::FromUTF8("\xE2\x82\xAC"), "\xE2\x82\xAC", 0}, // €
        {wxString("\t"), "\t", 1},
    };
    const std::string strDir = MakeExampleTree(m_tree);
    for (const SCase& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.strSeparator));
        TWindowPtr<CKWLDlg> pDlg = OpenWithNameSize(c.nLanguage);
        ListDirectory(pDlg.get(), strDir);
        const std::string strListing = pDlg->ListingText();
        const std::string strPath = m_out.Path("list.txt");

        wxTEST_DIALOG(Click(pDlg.get(), IDC_EXPORT_TEXTFILE), wxExpectModal<CSeparatorDlg>(c.typed),
                      SaveAs(strPath, "txt", c.nLanguage));

        const std::string strWritten = ReadFile(strPath);
        EXPECT_EQ(strWritten, KwlListOutput({"-e", "text", "-s", c.strSeparator, "-l",
                                             c.nLanguage == 1 ? "en" : "de"},
                                            strDir));
        const std::string& s = c.strSeparator;
        EXPECT_EQ(strWritten, Text(pDlg.get(), kTextHeading) + strDir +
                                  ":\r\n\r\nsub\r\ndeep\r\nd.txt" + s + "9\r\nc.txt" + s +
                                  "7\r\na.txt" + s + "120\r\nb.txt" + s + "5");
        // The export changes nothing on screen and can be repeated.
        EXPECT_EQ(pDlg->ListingText(), strListing);
        EXPECT_TRUE(IsEnabled(pDlg.get(), IDC_EXPORT_TEXTFILE));
        EXPECT_FALSE(IsEnabled(pDlg.get(), IDC_COMPUTE_LIST));
    }
}

// The window's text file follows kwl-list's quoting rule: a column that holds the separator or
// a double quote is quoted, so a spreadsheet keeps the columns apart.
TEST_F(ExportTest, TextFileQuotesFieldsThatHoldTheSeparator) {
    m_tree.AddFile("q/semi;colon", 3);
    m_tree.AddFile("q/say \"hi\"", 4);
    m_tree.AddFile("q/plain", 5);
    const std::string strDir = m_tree.Path("q");
    TWindowPtr<CKWLDlg> pDlg = OpenWithNameSize(1);
    ListDirectory(pDlg.get(), strDir);
    const std::string strPath = m_out.Path("quoted.txt");

    wxTEST_DIALOG(Click(pDlg.get(), IDC_EXPORT_TEXTFILE), wxExpectModal<CSeparatorDlg>(),
                  SaveAs(strPath, "txt", 1));

    const std::string strWritten = ReadFile(strPath);
    EXPECT_EQ(strWritten, KwlListOutput({"-e", "text", "-s", ";", "-l", "en"}, strDir));
    EXPECT_EQ(strWritten, Text(pDlg.get(), kTextHeading) + strDir +
                              ":\r\n\r\nplain;5\r\n\"say \"\"hi\"\"\";4\r\n\"semi;colon\";3");
}

// Names that a spreadsheet would run as formulas are written as text in the window's text
// file too: quoted with a leading apostrophe, the bytes that kwl-list writes by default.
TEST_F(ExportTest, TextFileKeepsFormulasText) {
    m_tree.AddFile("f/=1+1", 3);
    m_tree.AddFile("f/-", 4);
    m_tree.AddFile("f/@SUM(1)", 5);
    const std::string strDir = m_tree.Path("f");
    TWindowPtr<CKWLDlg> pDlg = OpenWithNameSize(1);
    ListDirectory(pDlg.get(), strDir);
    const std::string strPath = m_out.Path("formulas.txt");

    wxTEST_DIALOG(Click(pDlg.get(), IDC_EXPORT_TEXTFILE), wxExpectModal<CSeparatorDlg>(),
                  SaveAs(strPath, "txt", 1));

    const std::string strWritten = ReadFile(strPath);
    EXPECT_EQ(strWritten, Text(pDlg.get(), kTextHeading) + strDir +
                              ":\r\n\r\n-;4\r\n\"'=1+1\";3\r\n\"'@SUM(1)\";5");
    EXPECT_EQ(strWritten, KwlListOutput({"-e", "text", "-s", ";", "-l", "en"}, strDir));
}

TEST_F(ExportTest, HtmlPageIsWhatKwlListWrites) {
    const std::string strDir = MakeExampleTree(m_tree);
    for (int nLanguage : {1, 0}) {
        SCOPED_TRACE(nLanguage);
        TWindowPtr<CKWLDlg> pDlg = OpenWithNameSize(nLanguage);
        ListDirectory(pDlg.get(), strDir);
        const std::string strPath = m_out.Path("page.html");

        wxTEST_DIALOG(Click(pDlg.get(), IDC_EXPORT_HTML), SaveAs(strPath, "html", nLanguage));

        const std::string strWritten = ReadFile(strPath);
        EXPECT_EQ(strWritten,
                  KwlListOutput({"-e", "html", "-l", nLanguage == 1 ? "en" : "de"}, strDir));
        EXPECT_NE(strWritten.find("<TITLE>" + Text(pDlg.get(), kTextHtmlTitle) + " " + strDir +
                                  "</TITLE></HEAD>\r\n"),
                  std::string::npos);
        EXPECT_NE(strWritten.find("<TR><TD ROWSPAN=3>&nbsp;</TD><TD COLSPAN=3 "
                                  "bgcolor=\"#BBBBBBBB\">deep</TD></TR>\r\n"),
                  std::string::npos);
        EXPECT_TRUE(strWritten.ends_with("</TABLE>\r\n</BODY>\r\n</HTML>"));
    }
}

// The second file type of the HTML export writes what kwl-list -e html-app writes, but for
// the moment of the scan.
TEST_F(ExportTest, BrowsablePageIsWhatKwlListWrites) {
    const std::string strDir = MakeExampleTree(m_tree);
    // The first read of a directory after it changed moves its access time (relatime), which
    // the page shows: read once before either side does.
    KwlListOutput({"-e", "html-app"}, strDir);
    const auto fnWithoutScanTime = [](std::string strPage) {
        const std::size_t nStart = strPage.find("\"scanned\":");
        const std::size_t nEnd = strPage.find(',', nStart);
        return nStart == std::string::npos ? strPage : strPage.erase(nStart, nEnd - nStart);
    };
    for (int nLanguage : {1, 0}) {
        SCOPED_TRACE(nLanguage);
        TWindowPtr<CKWLDlg> pDlg = OpenWithNameSize(nLanguage);
        ListDirectory(pDlg.get(), strDir);
        const std::string strPath = m_out.Path("browse.html");

        wxTEST_DIALOG(Click(pDlg.get(), IDC_EXPORT_HTML), SaveAs(strPath, "html", nLanguage, 1));

        const std::string strWritten = ReadFile(strPath);
        const std::string strLanguage = nLanguage == 1 ? "en" : "de";
        EXPECT_EQ(fnWithoutScanTime(strWritten),
                  fnWithoutScanTime(KwlListOutput({"-e", "html-app", "-l", strLanguage}, strDir)));
        EXPECT_NE(strWritten.find("<html lang=\"" + strLanguage + "\" data-state=\"loading\">"),
                  std::string::npos);
        EXPECT_NE(strWritten.find("data-column=\"7\""), std::string::npos);
    }
}

TEST_F(ExportTest, ClipboardHoldsTheListingAsComputed) {
    TWindowPtr<CKWLDlg> pDlg = OpenWithNameSize();
    const std::string strDir = MakeExampleTree(m_tree);
    ListDirectory(pDlg.get(), strDir);
    PutOnClipboard("something else");

    Click(pDlg.get(), IDC_EXPORT_CLIPBOARD);

    EXPECT_EQ(FromWx(ClipboardText()),
              "Listing of Directory " + strDir +
                  ":\r\n\r\nsub\r\n  deep\r\n    d.txt\t9\r\n  c.txt\t7\r\na.txt\t120\r\nb.txt\t5");
    EXPECT_EQ(FromWx(ClipboardText()), KwlListOutput({}, strDir));
    EXPECT_TRUE(IsEnabled(pDlg.get(), IDC_EXPORT_CLIPBOARD)); // can be repeated
}

// The preview shows the beginning only; the clipboard gets all of it. A name that is not
// UTF-8 arrives with a replacement character, since the clipboard carries UTF-8 text.
TEST_F(ExportTest, ClipboardGetsAllOfAShortenedListing) {
    TWindowPtr<CKWLDlg> pDlg = OpenWithNameSize();
    std::string strName;
    for (int i = 0; i < 80; ++i)
        strName += "\xC3\xA4x";
    for (std::size_t i = 0; i < kPreviewLimit / 166 + 10; ++i)
        m_tree.AddFile("big/" + std::to_string(1000 + i) + strName);
    m_tree.AddFile("big/zz-caf\xE9.txt", 3);
    ListDirectory(pDlg.get(), m_tree.Path("big"));
    ASSERT_EQ(TextOf(pDlg.get(), IDC_OUTPUT_TITLE), "Preview (incomplete output):");

    Click(pDlg.get(), IDC_EXPORT_CLIPBOARD);

    const wxString strClip = ClipboardText();
    EXPECT_EQ(strClip, ToWx(pDlg->ListingText()));
    EXPECT_GT(strClip.length(), kPreviewLimit);
    EXPECT_TRUE(strClip.EndsWith(wxString::FromUTF8("zz-caf\xEF\xBF\xBD.txt\t3")));
}

TEST_F(ExportTest, ClipboardThatCannotBeOpenedShowsEntry46AndKeepsItsText) {
    TWindowPtr<CKWLDlg> pDlg = OpenWithNameSize();
    ListDirectory(pDlg.get(), MakeExampleTree(m_tree));
    PutOnClipboard("kept");

    ASSERT_TRUE(wxTheClipboard->Open()); // held by someone else meanwhile
    wxTEST_DIALOG(Click(pDlg.get(), IDC_EXPORT_CLIPBOARD),
                  CExpectMessage(Text(pDlg.get(), kTextClipboardFailed)));
    wxTheClipboard->Close();

    EXPECT_EQ(ClipboardText(), "kept");
}

// Cancel in either dialog: nothing written, no message (an unexpected one fails the test).
TEST_F(ExportTest, CancelWritesNothing) {
    TWindowPtr<CKWLDlg> pDlg = OpenWithNameSize();
    ListDirectory(pDlg.get(), MakeExampleTree(m_tree));

    wxTEST_DIALOG(Click(pDlg.get(), IDC_EXPORT_TEXTFILE),
                  wxExpectModal<CSeparatorDlg>(wxString(","), IDC_SEPARATOR_CANCEL));
    wxTEST_DIALOG(Click(pDlg.get(), IDC_EXPORT_TEXTFILE),
                  wxExpectModal<CSeparatorDlg>(wxString(",")), SaveAs("", "txt"));
    wxTEST_DIALOG(Click(pDlg.get(), IDC_EXPORT_HTML), SaveAs("", "html"));

    EXPECT_TRUE(std::filesystem::is_empty(m_out.Root()));
}

// A file that cannot be written whole: entry 49 with the reason on a line of its own, in the
// language shown, and the next export renders as before.
TEST_F(ExportTest, FailedWriteShowsEntry49WithTheReason) {
    TWindowPtr<CKWLDlg> pDlg = OpenWithNameSize();
    const std::string strDir = MakeExampleTree(m_tree);
    ListDirectory(pDlg.get(), strDir);
    const std::string strError = Text(pDlg.get(), kTextWriteError);
    // A name that a directory has taken cannot be opened as a file, not even by root (the
    // chooser cannot point into a folder that does not exist).
    const std::string strTaken = m_out.AddDir("taken.txt");

    wxTEST_DIALOG(Click(pDlg.get(), IDC_EXPORT_TEXTFILE),
                  wxExpectModal<CSeparatorDlg>(wxString(",")), SaveAs(strTaken, "txt"),
                  CExpectMessage(strError + "\nIs a directory"));
    Click(pDlg.get(), IDC_FLAG_GERMAN);
    wxTEST_DIALOG(Click(pDlg.get(), IDC_EXPORT_HTML), SaveAs(strTaken, "html", 0),
                  CExpectMessage(Text(pDlg.get(), kTextWriteError) + "\nIst ein Verzeichnis"));
    Click(pDlg.get(), IDC_FLAG_ENGLISH);
    EXPECT_TRUE(std::filesystem::is_empty(strTaken));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(m_out.Root()),
                            std::filesystem::directory_iterator()),
              1);

    // A full disk as the process sees it: the open succeeds, the writes fail.
    rlimit oldLimit{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &oldLimit), 0);
    const auto oldHandler = signal(SIGXFSZ, SIG_IGN);
    rlimit tiny = oldLimit;
    tiny.rlim_cur = 16;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &tiny), 0);
    wxTEST_DIALOG(Click(pDlg.get(), IDC_EXPORT_TEXTFILE),
                  wxExpectModal<CSeparatorDlg>(wxString(",")),
                  SaveAs(m_out.Path("full.txt"), "txt"),
                  CExpectMessage(strError + "\nFile too large"));
    setrlimit(RLIMIT_FSIZE, &oldLimit);
    signal(SIGXFSZ, oldHandler);

    const std::string strPath = m_out.Path("after.html");
    wxTEST_DIALOG(Click(pDlg.get(), IDC_EXPORT_HTML), SaveAs(strPath, "html"));
    EXPECT_EQ(ReadFile(strPath), KwlListOutput({"-e", "html"}, strDir));
}

// A keyword that directories do not define: the message once per export, before the save
// dialog, not once per directory.
TEST_F(ExportTest, UndefinedFieldIsReportedOncePerExport) {
    WriteFormats("1\nname|accTime\n");
    TWindowPtr<CKWLDlg> pDlg = ShowMainDialog();
    const std::string strMessage = Text(pDlg.get(), kTextFieldInvalid);
    wxTEST_DIALOG(ChooseEntry(pDlg.get(), IDC_FORMATS, 0), CExpectMessage(strMessage));
    Toggle(pDlg.get(), IDC_RECURSIVE, true);
    const std::string strDir = MakeExampleTree(m_tree);
    wxTEST_DIALOG(Click(pDlg.get(), IDC_SELECT_DIRECTORY),
                  wxExpectModal<wxDirDialog>(ToWx(strDir)));
    wxTEST_DIALOG(Click(pDlg.get(), IDC_COMPUTE_LIST), CExpectMessage(strMessage));

    wxTEST_DIALOG(Click(pDlg.get(), IDC_EXPORT_TEXTFILE), wxExpectModal<CSeparatorDlg>(),
                  CExpectMessage(strMessage), SaveAs(m_out.Path("u.txt"), "txt"));
    wxTEST_DIALOG(Click(pDlg.get(), IDC_EXPORT_HTML), SaveAs(m_out.Path("u.html"), "html"),
                  CExpectMessage(strMessage));
    EXPECT_EQ(ReadFile(m_out.Path("u.txt")),
              KwlListOutput({"-e", "text"}, strDir, "name|accTime"));
}

// Markup characters, a byte that is not UTF-8 and control characters, in the chosen path and
// in names: escaped or replaced, never taken as markup, and the same bytes as kwl-list's.
TEST_F(ExportTest, HostileNamesInTheHtmlPage) {
    TWindowPtr<CKWLDlg> pDlg = OpenWithNameSize();
    const std::string strRoot = "R&D <b>\"x\"";
    m_tree.AddFile(strRoot + "/<script>alert(1)<", 1);
    m_tree.AddFile(strRoot + "/a&b \"q\".txt", 2);
    m_tree.AddFile(strRoot + "/caf\xE9.txt", 3);
    m_tree.AddFile(strRoot + "/tab\there\x07.txt", 4);
    m_tree.AddFile(strRoot + "/<i>sub/line\nbreak", 5);
    const std::string strDir = m_tree.Path(strRoot);
    ListDirectory(pDlg.get(), strDir);
    const std::string strPath = m_out.Path("hostile.html");

    wxTEST_DIALOG(Click(pDlg.get(), IDC_EXPORT_HTML), SaveAs(strPath, "html"));

    const std::string strPage = ReadFile(strPath);
    EXPECT_EQ(strPage, KwlListOutput({"-e", "html"}, strDir));
    EXPECT_EQ(strPage.find("<script"), std::string::npos);
    EXPECT_EQ(strPage.find("<b>"), std::string::npos);
    EXPECT_EQ(strPage.find("<i>"), std::string::npos);
    for (const char* pszPiece :
         {"R&amp;D &lt;b&gt;&quot;x&quot;</TITLE>", "&lt;script&gt;alert(1)&lt;<BR>",
          "a&amp;b &quot;q&quot;.txt<BR>", "caf\xE9.txt<BR>", "tab?here?.txt<BR>",
          "bgcolor=\"#BBBBBBBB\">&lt;i&gt;sub</TD>", "line?break<BR>"}) {
        SCOPED_TRACE(pszPiece);
        EXPECT_NE(strPage.find(pszPiece), std::string::npos);
    }
}

} // namespace
