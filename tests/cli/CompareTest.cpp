// kwl-list --compare on real trees: a snapshot, one change, and the exact report lines, exit
// status and JSON report that must come of it.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/Files.h"
#include "support/Json.h"
#include "support/KwlList.h"
#include "support/Paths.h"
#include "support/TempTree.h"

namespace {

namespace fs = std::filesystem;

constexpr std::int64_t kDay = 86400;
constexpr std::int64_t kThen = 1700000000; // every entry's time before a change

constexpr const char* kTopLevel = "\nfiles and bytes per top-level directory:\n";

std::string Summary(int nAdded, int nRemoved, int nChanged, int nMoved) {
    return "\nsummary: " + std::to_string(nAdded) + " added, " + std::to_string(nRemoved) +
           " removed, " + std::to_string(nChanged) + " changed, " + std::to_string(nMoved) +
           " moved\n";
}

// A tree t in a fresh folder: docs/a.txt (10 bytes), docs/b.txt (20), img/p.jpg (30),
// root.txt (5), "a\tb" (4) and link -> docs/a.txt, every time kThen. Windows has neither the
// name with a tab nor such a link: there t is without them (HasLinkAndTab).
class CScene {
public:
    CScene() {
        m_tree.AddFile("t/docs/a.txt", 10);
        m_tree.AddFile("t/docs/b.txt", 20);
        m_tree.AddFile("t/img/p.jpg", 30);
        m_tree.AddFile("t/root.txt", 5);
        std::vector<std::string> entries = {"docs/a.txt", "docs/b.txt", "img/p.jpg", "root.txt"};
        if (HasLinkAndTab()) {
            m_tree.AddFile("t/a\tb", 4);
            m_tree.AddLink("t/link", "docs/a.txt");
            entries.insert(entries.end(), {"a\tb", "link"});
        }
        entries.insert(entries.end(), {"docs", "img"});
        for (const std::string& strEntry : entries)
            Touch(strEntry, kThen);
    }

    static bool HasLinkAndTab() {
        return CTempTree::CanMakeLinks() && CTempTree::AllowsName("a\tb");
    }

    std::string Dir() const { return m_tree.Path("t"); }
    void Touch(const std::string& strRelative, std::int64_t nTime) {
        m_tree.SetTimes("t/" + strRelative, nTime, nTime);
    }

    // The snapshot of t now, made with the options given.
    std::string Snapshot(std::vector<std::string> args = {}) {
        const std::string strFile = m_tree.Path("snap-" + std::to_string(m_nSnapshots++) + ".json");
        args.insert(args.end(), {"-r", "-e", "json", "-o", strFile, Dir()});
        const SKwlListResult r = RunKwlList(args);
        EXPECT_EQ(r.nStatus, 0) << r.strErr;
        return strFile;
    }

    SKwlListResult Compare(const std::string& strSnapshot, std::vector<std::string> args = {},
                           const SKwlListRun& run = {}) {
        args.insert(args.end(), {"--compare", strSnapshot, Dir()});
        return RunKwlList(args, run);
    }

    CTempTree m_tree;
    int m_nSnapshots = 0;
};

TEST(CompareTest, ATreeAgainstItsOwnSnapshotReportsNothing) {
    CScene t;
    for (const std::vector<std::string>& hash :
         {std::vector<std::string>{}, {"--hash", "sha256"}, {"--hash", "xxh128"}}) {
        SCOPED_TRACE(hash.empty() ? "no hash" : hash[1]);
        const std::string strSnapshot = t.Snapshot(hash);
        const SKwlListResult r = t.Compare(strSnapshot);
        EXPECT_EQ(r.nStatus, 0) << r.strErr;
        EXPECT_EQ(r.strOut, "");
        EXPECT_EQ(r.strErr, "");
        // Two snapshots of the same tree, no scan.
        const SKwlListResult twice = RunKwlList({"--compare", strSnapshot, t.Snapshot(hash)});
        EXPECT_EQ(twice.nStatus, 0) << twice.strErr;
        EXPECT_EQ(twice.strOut, "");
    }
}

// One change each, and the lines it must give.
TEST(CompareTest, EachKindOfChangeGivesItsLine) {
    struct SCase {
        const char* pszName;
        bool bHash;
        std::function<void(CScene&)> fnChange;
        std::string strExpected;
        bool bNeedsLinkAndTab = false;
    };
    const auto writeKeepingTime = [](CScene& t, const char* pszFile, const std::string& str) {
        ASSERT_TRUE(WriteFile(t.m_tree.Path(std::string("t/") + pszFile), str));
        t.Touch(pszFile, kThen);
    };
    const SCase cases[] = {
        {"added", false,
         [](CScene& t) { t.m_tree.AddFile("t/img/q.jpg", 7); },
         "added: img/q.jpg\n" + std::string(kTopLevel) + "  img: files +1 -0, bytes +7 -0\n" +
             Summary(1, 0, 0, 0)},
        {"removed", false,
         [](CScene& t) { fs::remove(t.m_tree.Path("t/docs/b.txt")); },
         "removed: docs/b.txt\n" + std::string(kTopLevel) + "  docs: files +0 -1, bytes +0 -20\n" +
             Summary(0, 1, 0, 0)},
        {"grown", false,
         [](CScene& t) {
             t.m_tree.AddFile("t/root.txt", 6);
             t.Touch("root.txt", kThen + kDay);
         },
         "changed: root.txt (size, modification time)\n" + Summary(0, 0, 1, 0)},
        {"touched", false, [](CScene& t) { t.Touch("root.txt", kThen + kDay); },
         "changed: root.txt (modification time)\n" + Summary(0, 0, 1, 0)},
        {"rewritten, same size and time, with a hash", true,
         [&](CScene& t) { writeKeepingTime(t, "docs/a.txt", "0123456789"); },
         "changed: docs/a.txt (content)\n" + Summary(0, 0, 1, 0)},
        {"rewritten, same size and time, without a hash", false,
         [&](CScene& t) { writeKeepingTime(t, "docs/a.txt", "0123456789"); }, ""},
        {"moved and renamed, with a hash", true,
         [](CScene& t) {
             fs::rename(t.m_tree.Path("t/docs/b.txt"), t.m_tree.Path("t/img/renamed.txt"));
         },
         "moved: docs/b.txt -> img/renamed.txt\n" + Summary(0, 0, 0, 1)},
        {"moved under its name, without a hash", false,
         [](CScene& t) {
             fs::rename(t.m_tree.Path("t/docs/b.txt"), t.m_tree.Path("t/img/b.txt"));
         },
         "moved: docs/b.txt -> img/b.txt\n" + Summary(0, 0, 0, 1)},
        {"renamed, without a hash", false,
         [](CScene& t) {
             fs::rename(t.m_tree.Path("t/docs/b.txt"), t.m_tree.Path("t/img/renamed.txt"));
         },
         "removed: docs/b.txt\nadded: img/renamed.txt\n" + std::string(kTopLevel) +
             "  docs: files +0 -1, bytes +0 -20\n  img: files +1 -0, bytes +20 -0\n" +
             Summary(1, 1, 0, 0)},
        {"a file replaced by a directory", false,
         [](CScene& t) {
             fs::remove(t.m_tree.Path("t/root.txt"));
             t.m_tree.AddFile("t/root.txt/inner", 3);
         },
         "changed: root.txt/ (type)\nadded: root.txt/inner\n" + std::string(kTopLevel) +
             "  .: files +0 -1, bytes +0 -5\n  root.txt: files +1 -0, bytes +3 -0\n" +
             Summary(1, 0, 1, 0)},
        {"a directory replaced by a file", false,
         [](CScene& t) {
             fs::remove_all(t.m_tree.Path("t/img"));
             t.m_tree.AddFile("t/img", 8);
         },
         "changed: img (type)\nremoved: img/p.jpg\n" + std::string(kTopLevel) +
             "  .: files +1 -0, bytes +8 -0\n  img: files +0 -1, bytes +0 -30\n" +
             Summary(0, 1, 1, 0)},
        {"a file replaced by a link", false,
         [](CScene& t) {
             fs::remove(t.m_tree.Path("t/docs/b.txt"));
             t.m_tree.AddLink("t/docs/b.txt", "a.txt");
         },
         "changed: docs/b.txt (type)\n" + std::string(kTopLevel) +
             "  docs: files +1 -1, bytes +5 -20\n" + Summary(0, 0, 1, 0), true},
        {"a link retargeted", false,
         [](CScene& t) {
             fs::remove(t.m_tree.Path("t/link"));
             t.m_tree.AddLink("t/link", "docs/b.txt");
             t.Touch("link", kThen);
         },
         "changed: link (content)\n" + Summary(0, 0, 1, 0), true},
        {"a name that differs only in a control character", false,
         [](CScene& t) {
             fs::rename(t.m_tree.Path("t/a\tb"), t.m_tree.Path("t/a\nb"));
             t.Touch("a\nb", kThen);
         },
         "removed: a?b\nadded: a?b\n" + std::string(kTopLevel) +
             "  .: files +1 -1, bytes +4 -4\n" + Summary(1, 1, 0, 0), true},
    };
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.pszName);
        if (c.bNeedsLinkAndTab && !CScene::HasLinkAndTab())
            continue;
        CScene t;
        const std::string strSnapshot = t.Snapshot(
            c.bHash ? std::vector<std::string>{"--hash", "sha256"} : std::vector<std::string>{});
        c.fnChange(t);
        const SKwlListResult r = t.Compare(strSnapshot);
        EXPECT_EQ(r.strOut, c.strExpected);
        EXPECT_EQ(r.nStatus, c.strExpected.empty() ? 0 : 1) << r.strErr;
        EXPECT_EQ(r.strErr, "");
    }
}

TEST(CompareTest, GermanLines) {
    CScene t;
    const std::string strSnapshot = t.Snapshot({"--hash", "xxh128"});
    fs::rename(t.m_tree.Path("t/docs/b.txt"), t.m_tree.Path("t/img/c.txt"));
    t.m_tree.AddFile("t/docs/new.txt", 2);
    t.Touch("root.txt", kThen + kDay);
    const SKwlListResult r = t.Compare(strSnapshot, {"-l", "de"});
    EXPECT_EQ(r.nStatus, 1) << r.strErr;
    EXPECT_EQ(r.strOut, "hinzugefügt: docs/new.txt\n"
                        "verschoben: docs/b.txt -> img/c.txt\n"
                        "geändert: root.txt (Änderungszeit)\n"
                        "\nDateien und Bytes je Verzeichnis der obersten Ebene:\n"
                        "  docs: Dateien +1 -0, Bytes +2 -0\n"
                        "\nZusammenfassung: 1 hinzugefügt, 0 entfernt, 1 geändert, 1 verschoben\n");
}

// The JSON report names every path exactly, also where the lines show "?".
TEST(CompareTest, JsonReportHasExactPathsAndCounts) {
    CScene t;
    const std::string strSnapshot = t.Snapshot({"--hash", "sha256"});
    // With hashes a rename is a move too: the same content under another name. Names with
    // control characters where the system has them; Windows has none, there a name outside
    // ASCII must come back exact.
    std::vector<std::string> expected;
    if (CScene::HasLinkAndTab()) {
        fs::rename(t.m_tree.Path("t/a\tb"), t.m_tree.Path("t/a\nb"));
        expected.push_back("moved a\tb a\nb");
    }
    const std::string strMovedTo =
        CTempTree::AllowsName("b\x1b.txt") ? "img/b\x1b.txt" : "img/b\xC3\xA9.txt";
    fs::rename(FsPath(t.m_tree.Path("t/docs/b.txt")), FsPath(t.m_tree.Path("t/" + strMovedTo)));
    expected.push_back("moved docs/b.txt " + strMovedTo);
    expected.push_back("changed img/p.jpg content");
    ASSERT_TRUE(WriteFile(t.m_tree.Path("t/img/p.jpg"), std::string(30, 'y')));
    t.Touch("img/p.jpg", kThen);
    const SKwlListResult r = t.Compare(strSnapshot, {"-e", "json"});
    EXPECT_EQ(r.nStatus, 1) << r.strErr;

    const CJsonDocument doc = ParseJson(r.strOut);
    EXPECT_EQ(doc["kwl_compare"].GetInt64(), 1);
    EXPECT_EQ(JsonText(doc["old"]["source"]), strSnapshot);
    EXPECT_EQ(JsonText(doc["new"]["root"]), t.Dir());
    EXPECT_EQ(JsonText(doc["new"]["hash"]), "sha256");
    std::vector<std::string> changes;
    for (const CJsonValue& change : doc["changes"].GetArray()) {
        const std::string strKind = JsonText(change["change"]);
        if (strKind == "moved") {
            changes.push_back("moved " + JsonText(change["from"]) + " " +
                              JsonText(change["to"]));
        } else if (strKind == "changed") {
            std::string strWhat;
            for (const CJsonValue& what : change["what"].GetArray())
                strWhat += " " + JsonText(what);
            changes.push_back("changed " + JsonText(change["path"]) + strWhat);
            EXPECT_NE(JsonText(change["old"]["hash"]), JsonText(change["new"]["hash"]));
        } else {
            changes.push_back(strKind + " " + JsonText(change["path"]));
        }
    }
    EXPECT_EQ(changes, expected);
    const CJsonValue& summary = doc["summary"];
    EXPECT_EQ(summary["added"].GetUint64(), 0u);
    EXPECT_EQ(summary["removed"].GetUint64(), 0u);
    EXPECT_EQ(summary["changed"].GetUint64(), 1u);
    EXPECT_EQ(summary["moved"].GetUint64(), expected.size() - 1);
    EXPECT_EQ(summary["errors"].GetUint64(), 0u);
    // Nothing changed is still a whole report.
    const SKwlListResult same = RunKwlList({"--compare", strSnapshot, strSnapshot, "-e", "json"});
    EXPECT_EQ(same.nStatus, 0) << same.strErr;
    EXPECT_EQ(ParseJson(same.strOut)["changes"].Size(), 0u);
}

// A directory that cannot be read in the new scan: trouble (2), nothing claimed about what is
// in it, every other change still reported.
TEST(CompareTest, UnreadableDirectoryAtTheSecondScan) {
    CScene t;
    t.m_tree.AddFile("t/docs/more/c.txt", 1);
    const std::string strSnapshot = t.Snapshot();
    t.m_tree.AddFile("t/img/q.jpg", 7);
    SKwlListRun run;
    run.faults = {"KWL_TEST_READ_ERROR=docs"};
    if (!CanSetUp(run))
        GTEST_SKIP() << "read errors come from the fault shim, which only Linux has";
    const SKwlListResult r = t.Compare(strSnapshot, {}, run);
    EXPECT_EQ(r.nStatus, 2) << r.strErr;
    EXPECT_EQ(r.strOut, "added: img/q.jpg\n" + std::string(kTopLevel) +
                            "  img: files +1 -0, bytes +7 -0\n" + Summary(1, 0, 0, 0));
    EXPECT_EQ(r.strErr, "kwl-list: cannot read '" + t.m_tree.Path("t/docs") +
                            "': Input/output error\n");
}

// A file that cannot be read for its hash: an error like an unreadable directory, the file still
// listed without a hash; a comparison with it is trouble.
TEST(CompareTest, UnreadableFileWhenHashing) {
    SKwlListRun run;
    run.setup.bAsNobody = true;
    if (!CanSetUp(run))
        GTEST_SKIP() << "runs kwl-list as nobody: needs Linux and root";
    CScene t;
    PrepareKwlListForOtherUsers();
    t.m_tree.SetMode("t/docs/a.txt", 0000);
    const SKwlListResult json = RunKwlList({"-r", "-e", "json", "--hash", "sha256", t.Dir()}, run);
    EXPECT_EQ(json.nStatus, 1);
    EXPECT_EQ(json.strErr, "kwl-list: cannot read '" + t.m_tree.Path("t/docs/a.txt") +
                               "': Permission denied\n");
    const CJsonDocument doc = ParseJson(json.strOut);
    const CJsonValue& error = doc["errors"][0u];
    EXPECT_EQ(JsonText(error["path"]), t.m_tree.Path("t/docs/a.txt"));
    EXPECT_EQ(error["errno"].GetInt64(), 13);
    const CJsonValue& a = doc["tree"]["children"][0u]["children"][0u];
    EXPECT_EQ(JsonText(a["name"]), "a.txt");
    EXPECT_FALSE(HasKey(a, "hash"));
    EXPECT_EQ(JsonText(doc["tree"]["children"][0u]["children"][1u]["hash"]).size(), 64u);

    const std::string strSnapshot = t.Snapshot({"--hash", "sha256"}); // as root: all read
    const SKwlListResult r = t.Compare(strSnapshot, {}, run);
    EXPECT_EQ(r.nStatus, 2) << r.strErr;
    EXPECT_EQ(r.strOut, "");
    t.m_tree.SetMode("t/docs/a.txt", 0644);
}

TEST(CompareTest, TroubleAndUsage) {
    CScene t;
    const std::string strSnapshot = t.Snapshot({"--hash", "sha256"});
    const std::string strText = t.m_tree.Path("not.json");
    ASSERT_TRUE(WriteFile(strText, "name;size\n"));
    const std::string strHalf = t.m_tree.Path("half.json");
    const std::string strWhole = ReadFile(strSnapshot);
    ASSERT_TRUE(WriteFile(strHalf, strWhole.substr(0, strWhole.size() / 2)));
    // Recursive, but its tree lost what was below it: it must not compare as the same.
    const std::string strGutted = t.m_tree.Path("gutted.json");
    const std::string strGuttedText =
        R"({"kwl_tree":1,"root":"t","recursive":true,"hash":null,)"
        R"("tree":{"name":"t","type":"directory","size":0}})";
    ASSERT_TRUE(WriteFile(strGutted, strGuttedText));
    struct SCase {
        std::vector<std::string> args;
        std::string strErr; // the start of the message
    };
    const SCase cases[] = {
        {{"--compare", strText, t.Dir()}, "kwl-list: snapshot '" + strText + "', byte 1: not valid JSON"},
        {{"--compare", strHalf, t.Dir()},
         "kwl-list: snapshot '" + strHalf + "', byte " + std::to_string(strWhole.size() / 2) +
             ": the document ends too early"},
        {{"--compare", t.m_tree.Path("missing.json"), t.Dir()},
         "kwl-list: cannot read the snapshot '" + t.m_tree.Path("missing.json") +
             "': No such file or directory"},
        {{"--compare", strGutted, t.Dir()},
         "kwl-list: snapshot '" + strGutted + "', byte " +
             std::to_string(strGuttedText.size() - 2) + ": \"children\" is missing\n"},
        {{"--compare", t.Dir(), t.Dir()}, "kwl-list: cannot read the snapshot '" + t.Dir() + "': Is a directory"},
        // Nothing by that name: the directory was meant, not a second snapshot.
        {{"--compare", strSnapshot, t.m_tree.Path("missing")},
         "kwl-list: cannot read the directory '" + t.m_tree.Path("missing") +
             "': No such file or directory\n"},
        {{"--compare", strSnapshot, "-l", "de", t.m_tree.Path("missing")},
         "kwl-list: Das Verzeichnis '" + t.m_tree.Path("missing") +
             "' kann nicht gelesen werden: Datei oder Verzeichnis nicht gefunden\n"},
        {{"--compare", strSnapshot, "--hash", "xxh128", t.Dir()},
         "kwl-list: --hash xxh128: the snapshot holds sha256 hashes"},
        {{"--compare", strSnapshot, "-e", "text", t.Dir()},
         "kwl-list: --compare writes lines or json (-e json), no other export"},
        {{"--hash", "md5", t.Dir()}, "kwl-list: unknown hash 'md5' (use sha256 or xxh128)"},
    };
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.strErr);
        const SKwlListResult r = RunKwlList(c.args);
        EXPECT_EQ(r.nStatus, 2);
        EXPECT_EQ(r.strErr.substr(0, c.strErr.size()), c.strErr) << r.strErr;
        EXPECT_EQ(r.strOut, "");
    }
}

}  // namespace
