// Runs the built kwl-list on real trees and checks its bytes, messages and exit statuses: what
// every system runs (KwlListLinuxTest.cpp has what needs Linux).
#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "cli/KwlListFixture.h"
#include "support/Files.h"
#include "support/KwlList.h"
#include "support/TempTree.h"

namespace {

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
    // Each name (in listing order) and its line: as text, with --raw-fields, and with
    // --raw-fields -s ",". Windows forbids the quote, so that name is left out there.
    struct SName {
        std::string strName;
        std::string strLines[3];
    };
    const SName names[] = {
        {"+1", {"\"'+1\";1", "+1;1", "+1,1"}},
        {"-", {"-;1", "-;1", "-,1"}},
        {"-dash", {"\"'-dash\";1", "-dash;1", "-dash,1"}},
        {"=1+1", {"\"'=1+1\";1", "=1+1;1", "=1+1,1"}},
        {"=HYPERLINK(\"x\";1)",
         {"\"'=HYPERLINK(\"\"x\"\";1)\";1", "\"=HYPERLINK(\"\"x\"\";1)\";1",
          "\"=HYPERLINK(\"\"x\"\";1)\",1"}},
        {"@SUM(1)", {"\"'@SUM(1)\";1", "@SUM(1);1", "@SUM(1),1"}},
    };
    const std::vector<std::string> options[] = {{}, {"--raw-fields"}, {"--raw-fields", "-s", ","}};
    std::string strLines[3];
    for (const SName& name : names) {
        if (!CTempTree::AllowsName(name.strName))
            continue;
        m_tree.AddFile("f/" + name.strName, 1);
        for (int i = 0; i < 3; ++i)
            strLines[i] += (strLines[i].empty() ? "" : "\r\n") + name.strLines[i];
    }
    const std::string strDir = m_tree.Path("f");
    const std::string strHeading = "Listing of Directory " + strDir + ":\r\n\r\n";
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(testing::PrintToString(options[i]));
        std::vector<std::string> args = {"-e", "text", "-f", "name|F-size"};
        args.insert(args.end(), options[i].begin(), options[i].end());
        args.push_back(strDir);
        const SResult r = RunKwlList(args);
        EXPECT_EQ(r.nStatus, 0) << r.strErr;
        EXPECT_EQ(r.strOut, strHeading + strLines[i]);
    }
    for (const std::string strKind : {"listing", "html", "json"}) {
        SCOPED_TRACE(strKind);
        const SResult r = RunKwlList({"-e", strKind, strDir});
        const SResult raw = RunKwlList({"--raw-fields", "-e", strKind, strDir});
        // The JSON's first line holds the moment of the scan, which may differ by a second.
        const std::size_t nFrom = strKind == "json" ? r.strOut.find('\n') : 0;
        EXPECT_EQ(raw.strOut.substr(std::min(nFrom, raw.strOut.size())), r.strOut.substr(nFrom));
        EXPECT_EQ(r.strOut.find("'="), std::string::npos) << r.strOut;
    }
}

// The byte order mark begins the text export and nothing else; the rest stays as it was.
TEST_F(KwlListTest, ByteOrderMarkOnlyForTheTextExport) {
    for (const std::string strKind : {"text", "listing", "html"}) {
        SCOPED_TRACE(strKind);
        const SResult plain = RunKwlList({"-r", "-e", strKind, m_strDir});
        const SResult bom = RunKwlList({"-r", "-e", strKind, "--bom", m_strDir});
        EXPECT_EQ(bom.nStatus, 0) << bom.strErr;
        EXPECT_EQ(bom.strOut, (strKind == "text" ? "\xEF\xBB\xBF" : "") + plain.strOut);
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
        if (!ArgumentArrivesExactly(c.pszFormat))
            continue; // Windows-1252 bytes cannot come through Windows' command line
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
        if (!ArgumentArrivesExactly(c.strSeparator))
            continue; // a byte that is not UTF-8 cannot come through Windows' command line
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
// control characters, a directory large enough to be read in chunks, several levels. Windows
// takes names that differ only in case for one and has no line break in names: there "_"
// stands in for it.
TEST(KwlListThreads, AnyNumberOfThreadsGivesTheSameBytes) {
    CTempTree tree;
    const std::string strBreak = CTempTree::AllowsName("\n") ? "\n" : "_";
    const int kLarge = 4500;
    for (int i = 0; i < kLarge; ++i)
        tree.AddFile("x/large/" + std::string(i % 2 ? "ab" : "AB") + std::to_string(i % 50) +
                         (i % 3 ? "" : strBreak) + std::to_string(i),
                     static_cast<std::uint64_t>(i % 7));
    // Every entry of the large directory is read, however many reads that takes.
    const SResult large = RunKwlList({"-e", "text", "-f", "name", tree.Path("x/large")});
    EXPECT_EQ(std::count(large.strOut.begin(), large.strOut.end(), '\n'), 2 + kLarge - 1);
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
