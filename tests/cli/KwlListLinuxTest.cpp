// kwl-list on what only Linux has: runs as nobody, file size and descriptor limits, the fault
// shim, /dev/full and a full tmpfs, names with control characters and line breaks, names that
// differ only in case, Linux's error texts.
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

#include "cli/KwlListFixture.h"
#include "support/Child.h"
#include "support/Files.h"
#include "support/KwlList.h"
#include "support/SmallDisk.h"
#include "support/TempTree.h"

namespace {

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

} // namespace
