// kwl-list -e json read back with a real parser, against what Linux has: every entry of a
// hostile tree (names that are not UTF-8, control characters, links, a FIFO) with its exact
// bytes, kind, size, times (statx) and link text; a whole document when directories fail (as
// nobody, with the fault shim); a file that changes while it is hashed (the fault shim).
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <ctime>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "cli/JsonTreeCheck.h"
#include "support/Files.h"
#include "support/Json.h"
#include "support/KwlList.h"
#include "support/TempTree.h"

namespace {

// Every byte but "/" as a one-byte name ("." only where a name cannot be just that), all of
// them in one name, names that are not UTF-8, quotes and backslashes, the longest names,
// names that look alike once shown, links with hostile texts, a FIFO, nested and empty
// directories. Access times of directories and links lie ahead, so that reading them (their
// names, their texts) does not move them.
void MakeHostileTree(CTempTree& tree) {
    std::string strAll;
    for (int b = 1; b < 256; ++b) {
        if (b == '/')
            continue;
        strAll += static_cast<char>(b);
        if (b != '.')
            tree.AddFile("h/" + std::string(1, static_cast<char>(b)), static_cast<std::uint64_t>(b));
    }
    tree.AddFile("h/" + strAll, 254);
    for (const char* psz : {"\x80", "\xFF\xFE", "cut\xC3", "\xED\xA0\x80", "over\xC0\xAF", "\"q\"",
                            "back\\slash", "\\\"", "a\tb", "a\nb", "a?b", ".hidden"})
        tree.AddFile(std::string("h/") + psz, 3);
    tree.AddFile("h/" + std::string(255, 'x'), 1);
    std::string strUmlauts;
    while (strUmlauts.size() + 2 <= 255)
        strUmlauts += "\xC3\xA4";
    tree.AddFile("h/" + strUmlauts + "z", 2);
    tree.AddFile("h/dir\nline/inner\x1B[31m", 7);
    tree.AddFile("h/dir\xFF/deeper/deepest/leaf", 8);
    tree.AddDir("h/empty");
    tree.AddLink("h/link\x01", "tar\x01get\n");
    tree.AddLink("h/badlink", "\xFF\xFE/not utf-8");
    tree.AddLink("h/longlink", std::string(3000, 'L'));
    tree.AddFile("h/readonly", 4);
    tree.SetMode("h/readonly", 0444);
    ASSERT_EQ(mkfifo(tree.Path("h/fifo").c_str(), 0644), 0);

    // Nanoseconds that a time in whole seconds or in microseconds would lose.
    const std::int64_t nAhead = std::time(nullptr) + 86400;
    for (const char* psz : {"h/dir\nline", "h/dir\xFF", "h/dir\xFF/deeper", "h/dir\xFF/deeper/deepest",
                            "h/empty", "h"}) {
        const timespec times[2] = {{nAhead, 987654321}, {1234567890, 123456789}};
        ASSERT_EQ(utimensat(AT_FDCWD, tree.Path(psz).c_str(), times, 0), 0) << psz;
    }
    for (const char* psz : {"h/link\x01", "h/badlink", "h/longlink"}) {
        const timespec times[2] = {{nAhead, 1}, {-1, 999999999}}; // before 1970
        ASSERT_EQ(utimensat(AT_FDCWD, tree.Path(psz).c_str(), times, AT_SYMLINK_NOFOLLOW), 0);
    }
}

TEST(JsonExportTest, HostileTreeComesBackExact) {
    CTempTree tree;
    MakeHostileTree(tree);
    const std::string strDir = tree.Path("h");
    const std::string strFile = tree.Path("out.json");
    const SKwlListResult r = RunKwlList({"-r", "-e", "json", "-o", strFile, strDir});
    ASSERT_EQ(r.nStatus, 0) << r.strErr;
    EXPECT_EQ(r.strOut, "");
    const std::string strJson = ReadFile(strFile);
    EXPECT_EQ(strJson.find('\r'), std::string::npos);
    EXPECT_EQ(strJson.back(), '\n');

    const CJsonDocument doc = ParseJson(strJson);
    EXPECT_EQ(doc["kwl_tree"].GetInt64(), 1);
    EXPECT_EQ(JsonText(doc["root"]), strDir);
    EXPECT_TRUE(doc["recursive"].GetBool());
    EXPECT_TRUE(doc["hash"].IsNull());
    EXPECT_EQ(doc["errors"].Size(), 0u);
    const CJsonValue& root = doc["tree"];
    EXPECT_EQ(JsonText(root["name"]), "h");
    std::size_t nSeen = 0;
    ExpectNodeMatchesDisk(root, strDir, nSeen);
    EXPECT_GE(nSeen, 280u);

    const CJsonValue& totals = doc["totals"];
    EXPECT_EQ(totals["directories"].GetUint64(), 5u);
    EXPECT_EQ(totals["files"].GetUint64(), nSeen - 6); // the root and five directories
    EXPECT_EQ(totals["bytes"].GetUint64(), root["size"].GetUint64());

    // The same document on standard output, with any number of threads.
    for (const char* pszThreads : {"1", "3"}) {
        const SKwlListResult again = RunKwlList({"-r", "-j", pszThreads, "-e", "json", strDir});
        EXPECT_EQ(again.nStatus, 0);
        const std::size_t nHeaderEnd = strJson.find('\n');
        EXPECT_EQ(again.strOut.substr(nHeaderEnd), strJson.substr(nHeaderEnd)) << pszThreads;
    }
}

// The document of a tree whose parts cannot be read: valid, with what was read, each failure
// in "errors", exit status 1.
struct SFailureCase {
    const char* pszName;
    std::vector<std::string> modes; // "path=mode" below the tree
    std::vector<std::string> faults;
    std::vector<std::string> failed; // paths below the tree, in listing order
    int nErrno;
};

TEST(JsonExportTest, FailuresAreListedInTheDocument) {
    const bool bAsRoot = geteuid() == 0;
    const SFailureCase cases[] = {
        {"unreadable and unsearchable", {"top/locked=0", "top/noread=311", "top/nosearch=644"}, {},
         {"top/locked", "top/noread", "top/nosearch"}, EACCES},
        {"read fails midway", {}, {"KWL_TEST_READ_ERROR=failing"}, {"top/sub/failing"}, EIO},
    };
    for (const SFailureCase& c : cases) {
        SCOPED_TRACE(c.pszName);
        CTempTree tree;
        for (const char* psz : {"top/locked/secret", "top/noread/secret", "top/nosearch/inner",
                                "top/sub/failing/f1", "top/sub/failing/f2", "top/ok"})
            tree.AddFile(psz, 1);
        for (const std::string& strMode : c.modes) {
            const std::size_t nEq = strMode.find('=');
            tree.SetMode(strMode.substr(0, nEq), std::stoi(strMode.substr(nEq + 1), nullptr, 8));
        }
        if (!c.modes.empty() && !bAsRoot && geteuid() == 0)
            GTEST_SKIP();
        SKwlListRun run;
        run.setup.bAsNobody = !c.modes.empty() && bAsRoot;
        run.faults = c.faults;
        const SKwlListResult r = RunKwlList({"-r", "-e", "json", tree.Path("top")}, run);
        for (const std::string& strMode : c.modes)
            tree.SetMode(strMode.substr(0, strMode.find('=')), 0755);
        EXPECT_EQ(r.nStatus, 1) << r.strErr;
        const CJsonDocument doc = ParseJson(r.strOut);
        std::vector<std::string> failed;
        for (const CJsonValue& error : doc["errors"].GetArray()) {
            failed.push_back(ExactText(error, "path"));
            EXPECT_EQ(error["errno"].GetInt64(), c.nErrno);
            EXPECT_FALSE(JsonText(error["reason"]).empty());
        }
        std::vector<std::string> expected;
        for (const std::string& strPath : c.failed)
            expected.push_back(tree.Path(strPath));
        EXPECT_EQ(failed, expected);
        // What could be read is there: the file beside the failures.
        EXPECT_NE(r.strOut.find("{\"name\":\"ok\",\"type\":\"file\",\"size\":1,"), std::string::npos);
        // Messages still follow, one line per directory.
        EXPECT_EQ(std::count(r.strErr.begin(), r.strErr.end(), '\n'),
                  static_cast<long>(c.failed.size()))
            << r.strErr;
    }
}

// The file of that name among the root's children.
const CJsonValue& RootFile(const CJsonValue& doc, std::string_view strName) {
    for (const CJsonValue& node : doc["tree"]["children"].GetArray())
        if (JsonText(node["name"]) == strName)
            return node;
    ADD_FAILURE() << "no " << strName;
    return doc["tree"];
}

// A file that changes while it is hashed: the hash recorded is that of the very version whose
// size and modification time stand beside it, the one a quiet read finds; a file that keeps
// changing gets no hash and is an error, as an unreadable one is.
TEST(JsonExportTest, AHashBelongsToTheSizeAndTimeBesideIt) {
    constexpr std::size_t kSize = 1024 * 1024 + 3; // more than one read
    struct SCase {
        const char* pszHow;
        std::uint64_t nSizeAfter;
        bool bKeepsChanging;
    };
    const SCase cases[] = {
        {"shrink", kSize / 2, false},
        {"append", kSize + 16, false},
        {"always", 0, true},
    };
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.pszHow);
        CTempTree tree;
        tree.AddDir("top");
        std::string strContent(kSize, '\0');
        for (std::size_t i = 0; i < kSize; ++i)
            strContent[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);
        ASSERT_TRUE(WriteFile(tree.Path("top/big"), strContent));
        ASSERT_TRUE(WriteFile(tree.Path("top/small"), "still"));
        tree.SetTimes("top/big", 1700000000, 1700000000);
        SKwlListRun run;
        run.faults = {std::string("KWL_TEST_CHANGE_ON_READ=") + c.pszHow + ":big"};
        const SKwlListResult r =
            RunKwlList({"-e", "json", "--hash", "sha256", "-j", "1", tree.Path("top")}, run);
        const SKwlListResult quiet =
            RunKwlList({"-e", "json", "--hash", "sha256", tree.Path("top")});
        ASSERT_EQ(quiet.nStatus, 0) << quiet.strErr;
        const CJsonDocument doc = ParseJson(r.strOut);
        const CJsonDocument quietDoc = ParseJson(quiet.strOut);
        const CJsonValue& big = RootFile(doc, "big");
        const CJsonValue& quietBig = RootFile(quietDoc, "big");
        EXPECT_EQ(JsonText(RootFile(doc, "small")["hash"]), JsonText(RootFile(quietDoc, "small")["hash"]));
        if (c.bKeepsChanging) {
            EXPECT_EQ(r.nStatus, 1);
            EXPECT_EQ(r.strErr, "kwl-list: cannot read '" + tree.Path("top/big") +
                                    "': changed while being read\n");
            EXPECT_FALSE(HasKey(big, "hash"));
            ASSERT_EQ(doc["errors"].Size(), 1u);
            const CJsonValue& error = doc["errors"][0u];
            EXPECT_EQ(JsonText(error["path"]), tree.Path("top/big"));
            EXPECT_EQ(JsonText(error["reason"]), "changed while being read");
            EXPECT_EQ(error["errno"].GetUint64(), 4096u);
            continue;
        }
        EXPECT_EQ(r.nStatus, 0) << r.strErr;
        EXPECT_EQ(r.strErr, "");
        EXPECT_EQ(big["size"].GetUint64(), c.nSizeAfter);
        EXPECT_EQ(quietBig["size"].GetUint64(), c.nSizeAfter);
        EXPECT_EQ(JsonText(big["mtime"]), JsonText(quietBig["mtime"]));
        EXPECT_EQ(JsonText(big["hash"]), JsonText(quietBig["hash"]));
        // The directory's total is the file's size as recorded.
        EXPECT_EQ(doc["tree"]["size"].GetUint64(), c.nSizeAfter + 5);
    }
}

} // namespace
