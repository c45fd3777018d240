// Runs the built kwl-list on real trees and checks its bytes, messages and exit statuses.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/Child.h"
#include "support/Files.h"
#include "support/KwlList.h"
#include "support/SmallDisk.h"
#include "support/TempTree.h"

namespace {

using SResult = SKwlListResult;

class KwlListTest : public ::testing::Test {
protected:
    CTempTree m_tree;
    std::string m_strDir = MakeExampleTree(m_tree);
};

TEST_F(KwlListTest, ListingIsTheIndentedTextWithCrLf) {
    const SResult r = RunKwlList({"-r", "-f", "name", m_strDir});
    EXPECT_EQ(r.nStatus, 0) << r.strErr;
    EXPECT_EQ(r.strErr, "");
    EXPECT_EQ(r.strOut, "Listing of Directory " + m_strDir +
                            ":\r\n\r\nsub\r\n  deep\r\n    d.txt\r\n  c.txt\r\na.txt\r\nb.txt");
}

TEST_F(KwlListTest, ListingWithoutRecursionKeepsFirstLevelFiles) {
    const SResult r = RunKwlList({"-f", "D-[D ]-name", "--language", "de", m_strDir + "/"});
    EXPECT_EQ(r.nStatus, 0) << r.strErr;
    // The directory is used as given, trailing "/" included.
    EXPECT_EQ(r.strOut,
              "Inhalt des Verzeichnisses " + m_strDir + "/:\r\n\r\nD sub\r\na.txt\r\nb.txt");
}

TEST_F(KwlListTest, TextExportUsesSeparatorAndCrLf) {
    const SResult r = RunKwlList({"-r", "-e", "text", "-s", ";", "-f", "name|F-size", m_strDir});
    EXPECT_EQ(r.nStatus, 0) << r.strErr;
    EXPECT_EQ(r.strOut, "Listing of Directory " + m_strDir +
                            ":\r\n\r\nsub\r\ndeep\r\nd.txt;9\r\nc.txt;7\r\na.txt;120\r\nb.txt;5");
}

// Names that a spreadsheet would run as formulas stay text in the text export; --raw-fields
// writes them as they are (only the RFC 4180 quoting stays), and no other kind changes.
TEST_F(KwlListTest, TextExportKeepsFormulasTextUnlessRawFields) {
    for (const char* pszName : {"=1+1", "+1", "-", "-dash", "@SUM(1)", "=HYPERLINK(\"x\";1)"})
        m_tree.AddFile(std::string("f/") + pszName, 1);
    const std::string strDir = m_tree.Path("f");
    const std::string strHeading = "Listing of Directory " + strDir + ":\r\n\r\n";
    struct SCase {
        std::vector<std::string> options;
        std::string strLines;
    };
    const SCase cases[] = {
        {{},
         "\"'+1\";1\r\n-;1\r\n\"'-dash\";1\r\n\"'=1+1\";1\r\n"
         "\"'=HYPERLINK(\"\"x\"\";1)\";1\r\n\"'@SUM(1)\";1"},
        {{"--raw-fields"},
         "+1;1\r\n-;1\r\n-dash;1\r\n=1+1;1\r\n\"=HYPERLINK(\"\"x\"\";1)\";1\r\n@SUM(1);1"},
        {{"--raw-fields", "-s", ","},
         "+1,1\r\n-,1\r\n-dash,1\r\n=1+1,1\r\n\"=HYPERLINK(\"\"x\"\";1)\",1\r\n@SUM(1),1"},
    };
    for (const SCase& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.options));
        std::vector<std::string> args = {"-e", "text", "-f", "name|F-size"};
        args.insert(args.end(), c.options.begin(), c.options.end());
        args.push_back(strDir);
        const SResult r = RunKwlList(args);
        EXPECT_EQ(r.nStatus, 0) << r.strErr;
        EXPECT_EQ(r.strOut, strHeading + c.strLines);
    }
    for (const char* pszKind : {"listing", "html", "json"}) {
        SCOPED_TRACE(pszKind);
        const SResult r = RunKwlList({"-e", pszKind, strDir});
        EXPECT_EQ(RunKwlList({"--raw-fields", "-e", pszKind, strDir}).strOut, r.strOut);
        EXPECT_EQ(r.strOut.find("'="), std::string::npos) << r.strOut;
    }
}

TEST_F(KwlListTest, HtmlExportDrawsTheTree) {
    const SResult r = RunKwlList({"-r", "-e", "html", "-f", "name|F-size", m_strDir});
    EXPECT_EQ(r.nStatus, 0) << r.strErr;
    const std::string strExpected =
        "<HTML>\r\n<HEAD><META charset=\"utf-8\"><TITLE>listing of " + m_strDir +
        "</TITLE></HEAD>\r\n<BODY>\r\n<H1>Directory " + m_strDir +
        "</H1>\r\n\r\n<TABLE BORDER=1>\r\n"
        "<TR><TD COLSPAN=4 bgcolor=\"#BBBBBBBB\">sub</TD></TR>\r\n"
        "<TR><TD ROWSPAN=3>&nbsp;</TD><TD COLSPAN=3 bgcolor=\"#BBBBBBBB\">deep</TD></TR>\r\n"
        "<TR><TD>&nbsp;</TD><TD>d.txt<BR></TD><TD>9<BR></TD></TR>\r\n"
        "<TR><TD>c.txt<BR></TD><TD COLSPAN=2>7<BR></TD></TR>\r\n"
        "<TR><TD>a.txt<BR>b.txt<BR></TD><TD COLSPAN=3>120<BR>5<BR></TD></TR>\r\n"
        "</TABLE>\r\n</BODY>\r\n</HTML>";
    EXPECT_EQ(r.strOut, strExpected);
}

TEST_F(KwlListTest, OutputFileGetsTheSameBytesAndStdoutNothing) {
    for (const char* pszKind : {"listing", "text", "html"}) {
        SCOPED_TRACE(pszKind);
        const SResult toStdout = RunKwlList({"-r", "-e", pszKind, m_strDir});
        const std::string strFile = m_tree.Path(std::string("out.") + pszKind);
        m_tree.AddFile(std::string("out.") + pszKind, 100000); // replaced whole
        const SResult toFile = RunKwlList({"-r", "-e", pszKind, "-o", strFile, m_strDir});
        EXPECT_EQ(toFile.nStatus, 0) << toFile.strErr;
        EXPECT_EQ(toFile.strOut, "");
        EXPECT_EQ(ReadFile(strFile), toStdout.strOut);
    }
}

TEST_F(KwlListTest, RelativeOutputNameMeansTheCallersDirectory) {
    // The scan moves the working directory; the output must still land where the caller is.
    const std::string strWork = m_tree.AddDir("work");
    SKwlListRun run;
    run.setup.strWorkDir = strWork;
    const SResult r = RunKwlList({"-r", "-o", "listing.txt", m_strDir}, run);
    EXPECT_EQ(r.nStatus, 0) << r.strErr;
    EXPECT_FALSE(ReadFile(strWork + "/listing.txt").empty());
}

TEST_F(KwlListTest, EmptyFormatLineIsValid) {
    const SResult r = RunKwlList({"-f", "", m_strDir});
    EXPECT_EQ(r.nStatus, 0) << r.strErr;
    EXPECT_EQ(r.strOut, "Listing of Directory " + m_strDir + ":\r\n\r\n\r\n\r\n");
}

// A format line in UTF-8 and the same line in Windows-1252 (copied from an older formats.def)
// list the same UTF-8 bytes; bytes that are neither stay invalid.
TEST_F(KwlListTest, FormatLineInUtf8OrWindows1252) {
    const struct {
        const char* pszFormat;
        int nStatus;
    } cases[] = {
        {"name|[Gr\xC3\xB6sse:]-F-size", 0},
        {"name|[Gr\xF6sse:]-F-size", 0},
        {"name|[Gr\xC3\xB6sse:\xF6]-F-size", 2}, // not UTF-8 as a whole: read all as
                                                 // Windows-1252, "\xC3" is no text character
        {"name|[\x80]-F-size", 2},                // the euro sign is no text character
        {"name|[Gr\xC3\x9F" "e]-F-size", 2},       // nor is the sharp s, in either encoding
        {"name|[Gr\xDF" "e]-F-size", 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pszFormat);
        const SResult r = RunKwlList({"-f", c.pszFormat, m_strDir});
        EXPECT_EQ(r.nStatus, c.nStatus) << r.strErr;
        if (c.nStatus == 0) {
            EXPECT_NE(r.strOut.find("\r\na.txt\tGr\xC3\xB6sse:120\r\n"), std::string::npos)
                << r.strOut;
        }
    }
}

TEST_F(KwlListTest, UndefinedFieldIsReportedOnceAndSkipped) {
    const SResult r = RunKwlList({"-r", "-f", "name|files", m_strDir});
    EXPECT_EQ(r.nStatus, 0);
    EXPECT_EQ(r.strErr, "kwl-list: One of the fields in the output format is not valid.\n");
    EXPECT_NE(r.strOut.find("\r\n  c.txt\t\r\n"), std::string::npos) << r.strOut;
    EXPECT_NE(r.strOut.find("\r\nsub\t1\r\n"), std::string::npos) << r.strOut;
}

TEST_F(KwlListTest, SeparatorIsOneCharacter) {
    struct SCase {
        std::string strSeparator;
        int nStatus;
    };
    const SCase cases[] = {
        {";", 0},           {"\t", 0},   {"é", 0},        {"€", 0},        {"", 2},
        {"ab", 2},          {"\n", 2},   {"\r", 2},       {"\xff", 2},     {"\xC2\xA0", 0},
        {"\x1B", 2},        {"\x7F", 2}, {"\xC2\x85", 2}, {"\xC2\x9B", 2}, {"\xE2\x80\xA8", 2},
        {"\xE2\x80\xA9", 2}, {"\"", 2}, {"'", 0}};
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.strSeparator);
        const SResult r =
            RunKwlList({"-e", "text", "-f", "name|F-size", "-s", c.strSeparator, m_strDir});
        EXPECT_EQ(r.nStatus, c.nStatus) << r.strErr;
        if (c.nStatus == 0)
            EXPECT_NE(r.strOut.find("a.txt" + c.strSeparator + "120"), std::string::npos);
        else
            EXPECT_EQ(r.strOut, "");
    }
}

TEST_F(KwlListTest, ExitStatusesAndMessages) {
    struct SCase {
        std::vector<std::string> args;
        int nStatus;
        std::string strErrPart;
    };
    const std::string strFile = m_tree.Path("x/a.txt");
    const SCase cases[] = {
        {{"-f", "name|xyz", m_strDir}, 2, "The output format is not valid."},
        {{"-l", "de", "-f", "|name", m_strDir}, 2, "Das eingestellte Ausgabeformat ist ungültig."},
        {{"--bogus", m_strDir}, 2, "unknown option"},
        {{"-y", m_strDir}, 2, "unknown option"},
        {{"-e", "pdf", m_strDir}, 2, "unknown export kind"},
        {{"-s", "\x01", m_strDir}, 2, "a control character cannot separate the columns (a tab can)"},
        {{"-s", "\xC2\x85", m_strDir}, 2, "a control character cannot separate the columns"},
        {{"-s", ";;", m_strDir}, 2, "the separator must be exactly one character"},
        // The quote encloses fields: a spreadsheet could not tell where one ends.
        {{"-s", "\"", m_strDir}, 2, "the double quote cannot separate the columns"},
        {{"-s", "\"", "-l", "de", m_strDir},
         2,
         "Das doppelte Anführungszeichen kann die Spalten nicht trennen"},
        // Hashes that no output would show are not taken.
        {{"--hash", "sha256", m_strDir}, 2, "--hash needs -e json or --compare"},
        {{"--hash", "xxh128", "-e", "text", m_strDir}, 2, "--hash needs -e json or --compare"},
        {{"--hash", "sha256", "-e", "html", m_strDir}, 2, "--hash needs -e json or --compare"},
        {{"--hash", "sha256", "-e", "html-app", m_strDir}, 2, "--hash needs -e json or --compare"},
        {{"-l", "fr", m_strDir}, 2, "unknown language"},
        {{"-f"}, 2, "missing value"},
        {{}, 2, "no DIRECTORY"},
        {{m_strDir, m_strDir}, 2, "more than one DIRECTORY"},
        {{m_tree.Path("missing")}, 1, "No such file or directory"},
        {{strFile}, 1, "Not a directory"},
        {{"-o", m_tree.Path("no/such/dir/out.txt"), m_strDir},
         1,
         "There was an error while writing the file."},
        {{"-o", m_tree.Path("x"), m_strDir}, 1, "There was an error while writing the file."},
    };
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.strErrPart);
        const SResult r = RunKwlList(c.args);
        EXPECT_EQ(r.nStatus, c.nStatus) << r.strErr;
        EXPECT_NE(r.strErr.find(c.strErrPart), std::string::npos) << r.strErr;
        EXPECT_EQ(r.strOut, "");
    }
}

TEST_F(KwlListTest, FullDiskIsAFailure) {
    const SResult r = RunKwlList({"-r", "-o", "/dev/full", m_strDir});
    EXPECT_EQ(r.nStatus, 1);
    EXPECT_NE(r.strErr.find("There was an error while writing the file."), std::string::npos);
}

TEST_F(KwlListTest, HostileNamesStayOnTheirLine) {
    m_tree.AddFile("x/evil\nname.txt", 1);
    m_tree.AddFile("x/<b>&\"q\".txt", 1);
    const SResult listing = RunKwlList({m_strDir});
    EXPECT_NE(listing.strOut.find("\r\nevil?name.txt"), std::string::npos);
    EXPECT_NE(listing.strOut.find("\r\n<b>&\"q\".txt"), std::string::npos);
    const SResult html = RunKwlList({"-e", "html", m_strDir});
    EXPECT_NE(html.strOut.find("&lt;b&gt;&amp;&quot;q&quot;.txt<BR>"), std::string::npos);
    EXPECT_EQ(html.strOut.find("<b>"), std::string::npos);
}

// Position of the first control character in strText other than tab, CR and LF (which the
// outputs hold on purpose): C0, DEL, C1 (C2 80-C2 9F), U+2028, U+2029. npos when none.
std::size_t FindControl(const std::string& strText) {
    for (std::size_t i = 0; i < strText.size(); ++i) {
        const auto b = static_cast<unsigned char>(strText[i]);
        const auto next = [&](std::size_t k) {
            return i + k < strText.size() ? static_cast<unsigned char>(strText[i + k]) : 0;
        };
        if ((b < 0x20 && b != '\t' && b != '\r' && b != '\n') || b == 0x7F ||
            (b == 0xC2 && next(1) >= 0x80 && next(1) <= 0x9F) ||
            (b == 0xE2 && next(1) == 0x80 && (next(2) == 0xA8 || next(2) == 0xA9)))
            return i;
    }
    return std::string::npos;
}

// Names and a DIRECTORY that carry terminal escapes (ESC, BEL, the C1 CSI U+009B, NEL U+0085)
// and line separators: every one of them becomes "?" in all three outputs and in messages.
TEST_F(KwlListTest, ControlCharactersNeverReachTheOutput) {
    const std::string strDir = m_tree.AddDir("d\x1B]0;owned\x07\xC2\x9B"
                                             "2J\xE2\x80\xA8");
    const std::string strShown = m_tree.Path("d?]0;owned??2J?");
    const std::pair<std::string, std::string> names[] = {
        {"csi\xC2\x9B"
         "2J.txt",
         "csi?2J.txt"},
        {"nel\xC2\x85.txt", "nel?.txt"},
        {"ls\xE2\x80\xA8x.txt", "ls?x.txt"},
        {"ps\xE2\x80\xA9.txt", "ps?.txt"},
        {"esc\x1B[2J.txt", "esc?[2J.txt"},
        {"nbsp\xC2\xA0kept.txt", "nbsp\xC2\xA0kept.txt"},
    };
    for (const auto& [strName, strClean] : names)
        m_tree.AddFile(strDir.substr(m_tree.Root().size() + 1) + "/" + strName, 1);

    for (const char* pszKind : {"listing", "text", "html"}) {
        SCOPED_TRACE(pszKind);
        const SResult r = RunKwlList({"-e", pszKind, strDir});
        EXPECT_EQ(r.nStatus, 0) << r.strErr;
        EXPECT_EQ(FindControl(r.strOut), std::string::npos) << r.strOut;
        EXPECT_NE(r.strOut.find(strShown), std::string::npos) << r.strOut;
        for (const auto& [strName, strClean] : names)
            EXPECT_NE(r.strOut.find(strClean), std::string::npos) << strClean;
    }

    struct SMessageCase {
        std::vector<std::string> args;
        std::string strShownPart;
    };
    const SMessageCase messages[] = {
        {{strDir + "/missing"}, strShown + "/missing: No such file or directory"},
        {{"-o",
          strDir + "/no\xC2\x9B"
                   "dir/out.txt",
          m_strDir},
         strShown + "/no?dir/out.txt: "},
        {{"-e", "\x1B[2J"}, "unknown export kind '?[2J'"},
        {{"--\xC2\x9B"
          "2J",
          m_strDir},
         "unknown option --?2J"},
    };
    for (const SMessageCase& c : messages) {
        SCOPED_TRACE(c.strShownPart);
        const SResult r = RunKwlList(c.args);
        EXPECT_NE(r.nStatus, 0);
        EXPECT_EQ(FindControl(r.strErr), std::string::npos) << r.strErr;
        EXPECT_NE(r.strErr.find(c.strShownPart), std::string::npos) << r.strErr;
    }
}

// Room for far less than the listing: 1500 files with long names make about 100 KiB.
class KwlListFullDiskTest : public KwlListTest {
protected:
    void SetUp() override {
        KwlListTest::SetUp();
        for (int i = 0; i < 1500; ++i)
            m_tree.AddFile("x/many/" + std::string(50, 'n') + std::to_string(i) + ".txt");
    }

    // Writes the listing over old.txt and as new.txt in strDir; both must fail with
    // strReason, leave old.txt whole and nothing new behind.
    void ExpectFailedWritesKeepTheFolder(const std::string& strDir, const std::string& strReason,
                                         const SKwlListRun& run = {}) {
        std::ofstream(strDir + "/old.txt") << "precious\n";
        for (const char* pszName : {"old.txt", "new.txt"}) {
            SCOPED_TRACE(pszName);
            const SResult r = RunKwlList({"-r", "-o", strDir + "/" + pszName, m_strDir}, run);
            EXPECT_EQ(r.nStatus, 1);
            EXPECT_NE(r.strErr.find("There was an error while writing the file."),
                      std::string::npos)
                << r.strErr;
            EXPECT_NE(r.strErr.find(strReason), std::string::npos) << r.strErr;
            EXPECT_EQ(r.strOut, "");
        }
        EXPECT_EQ(NamesIn(strDir), std::set<std::string>{"old.txt"});
        EXPECT_EQ(ReadFile(strDir + "/old.txt"), "precious\n");
    }
};

TEST_F(KwlListFullDiskTest, FullDiskKeepsTheOldFile) {
    CSmallDisk disk(64 * 1024);
    if (!disk.IsMounted())
        GTEST_SKIP() << "needs a small tmpfs, which only root can mount: " << disk.Reason();
    ExpectFailedWritesKeepTheFolder(disk.Root(), "No space left on device");
}

// The same fault without privileges: kwl-list may not make files larger than 64 KiB.
TEST_F(KwlListFullDiskTest, FileSizeLimitKeepsTheOldFile) {
    SKwlListRun run;
    run.setup.nFileSizeLimit = 64 * 1024;
    ExpectFailedWritesKeepTheFolder(m_tree.AddDir("out"), "File too large", run);
}

// An output that cannot be written is reported before the scan starts: with a DIRECTORY that
// does not exist, the message is about the output, not the directory.
TEST_F(KwlListTest, BadOutputFailsBeforeTheScan) {
    m_tree.AddDir("locked");
    m_tree.SetMode("locked", 0555);
    const std::string strMissingDir = m_tree.Path("no-such-directory");
    struct SCase {
        std::string strOutput;
        std::string strReason;
        std::string strGermanReason;
    };
    const SCase cases[] = {
        {m_tree.Path("x"), "Is a directory", "Ist ein Verzeichnis"},
        {m_tree.Path("x") + "/", "Is a directory", "Ist ein Verzeichnis"},
        {m_tree.Path("missing/out.txt"), "No such file or directory",
         "Datei oder Verzeichnis nicht gefunden"},
        {m_tree.Path("x/a.txt/out.txt"), "Not a directory", "Kein Verzeichnis"},
        {m_tree.Path("locked/out.txt"), "Permission denied", "Zugriff verweigert"},
    };
    SKwlListRun run;
    run.setup.bAsNobody = geteuid() == 0; // permissions only bite without root
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.strOutput);
        const SResult r = RunKwlList({"-r", "-o", c.strOutput, strMissingDir}, run);
        EXPECT_EQ(r.nStatus, 1);
        EXPECT_EQ(r.strErr, "kwl-list: There was an error while writing the file. (" + c.strOutput +
                                ": " + c.strReason + ")\n");
        EXPECT_EQ(r.strOut, "");
        const SResult de = RunKwlList({"-r", "-l", "de", "-o", c.strOutput, strMissingDir}, run);
        EXPECT_EQ(de.strErr, "kwl-list: Die Datei konnte nicht geschrieben werden. (" +
                                 c.strOutput + ": " + c.strGermanReason + ")\n");
    }
}

// Run from a working directory it may write to but not read (mode 333), kwl-list still puts a
// relative output there, never beside the scanned directory.
TEST_F(KwlListTest, RelativeOutputFromAnUnreadableWorkingDirectory) {
    if (geteuid() != 0)
        GTEST_SKIP() << "needs root to run kwl-list as nobody";
    const std::string strWork = m_tree.AddDir("work");
    m_tree.SetMode("work", 0333);
    m_tree.AddFile("public/y/f.txt", 1);
    m_tree.SetMode("public", 0777);

    SKwlListRun run;
    run.setup.strWorkDir = strWork;
    run.setup.bAsNobody = true;
    const SResult r = RunKwlList({"-r", "-o", "listing.txt", m_tree.Path("public/y")}, run);

    EXPECT_EQ(r.nStatus, 0) << r.strErr;
    EXPECT_NE(ReadFile(strWork + "/listing.txt").find("\r\nf.txt"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(m_tree.Path("public/listing.txt")));
}

TEST(KwlListCommand, HelpAndVersion) {
    const SResult help = RunKwlList({"--help"});
    EXPECT_EQ(help.nStatus, 0);
    EXPECT_NE(help.strOut.find("Usage: kwl-list [OPTIONS] DIRECTORY"), std::string::npos);
    EXPECT_NE(help.strOut.find("--separator"), std::string::npos);
    EXPECT_NE(help.strOut.find("--threads"), std::string::npos);
    const SResult version = RunKwlList({"--version"});
    EXPECT_EQ(version.nStatus, 0);
    EXPECT_EQ(version.strOut.rfind("kwl-list ", 0), 0u);
}

TEST_F(KwlListTest, UnreadableDirectoryIsAFailure) {
    m_tree.SetMode("x", 0000);
    SKwlListRun run;
    run.setup.bAsNobody = geteuid() == 0;
    const SResult r = RunKwlList({m_strDir}, run);
    m_tree.SetMode("x", 0755);
    EXPECT_EQ(r.nStatus, 1) << r.strErr;
    EXPECT_NE(r.strErr.find("Permission denied"), std::string::npos) << r.strErr;
}

// ---- directories inside the tree that cannot be read ----

// The scan's fixtures: x with a.txt, b.txt and sub (from the fixture above), plus locked
// (no permissions) and noread (may be entered, not listed).
struct SUnreadableArgs {
    std::string strDir;
    std::string strListingAsNobody;
};

int ListWithUnreadablePartsAsNobody(const SUnreadableArgs& args) {
    const SResult en = RunKwlList({"-r", "-f", "name", args.strDir});
    if (en.nStatus != 1)
        return 10;
    // The whole listing first, the unreadable directories as empty ones...
    if (en.strOut != args.strListingAsNobody)
        return 11;
    // ...then one line each, in listing order.
    if (en.strErr != "kwl-list: cannot read '" + args.strDir +
                         "/locked': Permission denied\n"
                         "kwl-list: cannot read '" +
                         args.strDir + "/noread': Permission denied\n")
        return 12;
    const SResult de = RunKwlList({"-r", "-l", "de", "-f", "name", args.strDir + "/"});
    if (de.nStatus != 1 ||
        de.strErr != "kwl-list: '" + args.strDir +
                         "/locked' kann nicht gelesen werden: Zugriff verweigert\n"
                         "kwl-list: '" +
                         args.strDir + "/noread' kann nicht gelesen werden: Zugriff verweigert\n")
        return 13;
    // Any number of threads: the same bytes, the same messages.
    for (const char* pszThreads : {"1", "4"}) {
        const SResult r = RunKwlList({"-r", "-j", pszThreads, "-f", "name", args.strDir});
        if (r.nStatus != en.nStatus || r.strOut != en.strOut || r.strErr != en.strErr)
            return 14;
    }
    return 0;
}

TEST_F(KwlListTest, UnreadableDirectoriesInsideAreReportedAfterTheListing) {
    m_tree.AddFile("x/locked/secret", 1);
    m_tree.AddFile("x/noread/secret", 1);
    m_tree.SetMode("x/locked", 0000);
    m_tree.SetMode("x/noread", 0311);
    SUnreadableArgs args{m_strDir, "Listing of Directory " + m_strDir +
                                       ":\r\n\r\nlocked\r\nnoread\r\nsub\r\n  deep\r\n"
                                       "    d.txt\r\n  c.txt\r\na.txt\r\nb.txt"};
    PrepareKwlListForOtherUsers();
    EXPECT_EQ(RunInChild([&] { return ListWithUnreadablePartsAsNobody(args); }, AsNobody()),
              0);
}

TEST_F(KwlListTest, ReadErrorInsideTheTreeIsReportedAfterTheListing) {
    SKwlListRun run;
    run.faults = {"KWL_TEST_READ_ERROR=deep"};
    const SResult r = RunKwlList({"-r", "-f", "name", m_strDir}, run);
    EXPECT_EQ(r.nStatus, 1);
    EXPECT_EQ(r.strErr, "kwl-list: cannot read '" + m_strDir + "/sub/deep': Input/output error\n");
    // The rest of the tree is listed as usual.
    EXPECT_EQ(r.strOut.rfind("Listing of Directory " + m_strDir + ":\r\n\r\nsub\r\n  deep", 0), 0u)
        << r.strOut;
    EXPECT_NE(r.strOut.find("\r\n  c.txt\r\na.txt\r\nb.txt"), std::string::npos) << r.strOut;
}

// The tree keeps the exact path of a directory that failed; the message shows it cleaned.
TEST_F(KwlListTest, ReadErrorMessagesShowControlCharactersAsQuestionMarks) {
    m_tree.AddFile("x/bad\x1B[2J\nname/failing/f", 1);
    SKwlListRun run;
    run.faults = {"KWL_TEST_READ_ERROR=failing"};
    const SResult r = RunKwlList({"-r", "-f", "name", m_strDir}, run);
    EXPECT_EQ(r.nStatus, 1);
    EXPECT_EQ(r.strErr, "kwl-list: cannot read '" + m_strDir +
                            "/bad?[2J?name/failing': Input/output error\n");
}

struct SUnknownKindArgs {
    std::string strDir;
};

// A directory that may be listed but not searched, on a file system that reports no kinds:
// its entries are listed, of size 0, and the directory is reported.
int ListUnknownKindsAsNobody(const SUnknownKindArgs& args) {
    SKwlListRun run;
    run.faults = {"KWL_TEST_UNKNOWN_KIND=1"};
    const SResult r = RunKwlList({"-r", "-f", "name|F-size", args.strDir}, run);
    if (r.nStatus != 1)
        return 10;
    if (r.strOut.find("\r\nnosearch\r\n  f1\t0\r\n  inner\t0\r\n") == std::string::npos)
        return 11;
    return r.strErr == "kwl-list: cannot read '" + args.strDir + "/nosearch': Permission denied\n"
               ? 0
               : 12;
}

TEST_F(KwlListTest, EntriesThatCannotBeExaminedShowSizeZero) {
    m_tree.AddFile("x/nosearch/f1", 5);
    m_tree.AddFile("x/nosearch/inner/deep", 5);
    m_tree.SetMode("x/nosearch", 0644);
    SUnknownKindArgs args{m_strDir};
    PrepareKwlListForOtherUsers(true);
    EXPECT_EQ(RunInChild([&] { return ListUnknownKindsAsNobody(args); }, AsNobody()), 0);
}

// ---- depth and descriptor limits ----

TEST(KwlListDepth, DeepChainIsListedWholeUnderAnyDescriptorLimit) {
    CTempTree tree;
    const std::string strShort = tree.AddChain("short", 100);
    const std::string strLong = tree.AddChain("long", 20'000);
    struct SCase {
        std::string strDir;
        rlim_t nLimit;
        const char* pszThreads;
    };
    const SCase cases[] = {{strShort, 64, "2"}, {strShort, 16, "1"}, {strShort, 16, "4"},
                           {strLong, 32, "2"},  {strLong, 0, "2"},   {strLong, 32, "1"}};
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.strDir + ", limit " + std::to_string(c.nLimit) + ", -j " + c.pszThreads);
        SKwlListRun run;
        run.setup.nDescriptorLimit = c.nLimit;
        // The text export has no indentation, so 20,000 levels stay a small output.
        const SResult r =
            RunKwlList({"-r", "-e", "text", "-f", "name", "-j", c.pszThreads, c.strDir}, run);
        EXPECT_EQ(r.nStatus, 0);
        EXPECT_EQ(r.strErr, "");
        const std::string strLast = "\r\nd\r\nleaf.txt";
        EXPECT_EQ(r.strOut.size() >= strLast.size() &&
                      r.strOut.compare(r.strOut.size() - strLast.size(), strLast.size(), strLast) ==
                          0,
                  true);
    }
}

// ---- totals and threads ----

TEST(KwlListTotals, DirectoryTotalsStopAtTheLargestNumber) {
    if (!std::filesystem::is_directory("/dev/shm"))
        GTEST_SKIP() << "no /dev/shm";
    CTempTree tree("/dev/shm");
    try {
        for (const char* psz : {"x/big/a", "x/big/b", "x/big/c"})
            tree.AddSparseFile(psz, INT64_MAX);
    } catch (const std::exception& e) {
        GTEST_SKIP() << e.what();
    }
    const SResult r = RunKwlList({"-r", "-f", "name|D-size", tree.Path("x")});
    EXPECT_EQ(r.nStatus, 0);
    EXPECT_EQ(r.strOut, "Listing of Directory " + tree.Path("x") +
                            ":\r\n\r\nbig\t18446744073709551615\r\n  a\r\n  b\r\n  c");
}

TEST(KwlListThreads, ThreadCountIsAWholeNumberFromOne) {
    CTempTree tree;
    tree.AddFile("x/f", 1);
    struct SCase {
        std::vector<std::string> args;
        int nStatus;
    };
    const SCase cases[] = {
        {{"-j", "3"}, 0},  {{"--threads", "1"}, 0},    {{"--threads=1024"}, 0},
        {{"-j", "0"}, 2},  {{"-j", "-1"}, 2},          {{"-j", "two"}, 2},
        {{"-j", "2x"}, 2}, {{"--threads", "1025"}, 2}, {{"-j", ""}, 2},
    };
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.args.back());
        std::vector<std::string> args = c.args;
        args.push_back(tree.Path("x"));
        const SResult r = RunKwlList(args);
        EXPECT_EQ(r.nStatus, c.nStatus) << r.strErr;
        if (c.nStatus == 2) {
            EXPECT_NE(r.strErr.find("thread count"), std::string::npos) << r.strErr;
        }
    }
}

// Names that are equal in name order (their order is the order the directory gives them),
// control characters, a directory large enough to be read in chunks, several levels.
TEST(KwlListThreads, AnyNumberOfThreadsGivesTheSameBytes) {
    CTempTree tree;
    for (int i = 0; i < 4500; ++i)
        tree.AddFile("x/large/" + std::string(i % 2 ? "ab" : "AB") + std::to_string(i % 50) +
                         (i % 3 ? "" : "\n") + std::to_string(i),
                     static_cast<std::uint64_t>(i % 7));
    std::string strLevel = "x/";
    for (int n = 0; n < 12; ++n) {
        for (const char* psz : {"Readme", "README", "readme", "\xC3\x84", "\xC3\xA4", "_a", "a_"})
            tree.AddFile(strLevel + psz, static_cast<std::uint64_t>(n));
        strLevel += (n % 2 ? "Sub/" : "sub/");
        tree.AddDir(strLevel + "SUB");
    }
    const std::string strFormat = "name|F-size|crTime-F-modTime|F-ro-F-hid";
    for (const char* pszKind : {"listing", "text", "html"}) {
        SCOPED_TRACE(pszKind);
        const SResult one =
            RunKwlList({"-r", "-j", "1", "-e", pszKind, "-f", strFormat, tree.Path("x")});
        EXPECT_EQ(one.nStatus, 0);
        for (const char* pszThreads : {"2", "5"}) {
            const SResult many = RunKwlList(
                {"-r", "-j", pszThreads, "-e", pszKind, "-f", strFormat, tree.Path("x")});
            EXPECT_EQ(many.nStatus, 0);
            EXPECT_TRUE(many.strOut == one.strOut) << "-j " << pszThreads;
        }
    }
}

} // namespace
