// kwl-list -e json read back with a real parser: what every system runs (JsonExportLinuxTest.cpp
// has what needs Linux).
#include <cctype>
#include <cstdint>
#include <ctime>
#include <filesystem>
#include <map>
#include <string>

#include <gtest/gtest.h>

#include "cli/JsonTreeCheck.h"
#include "support/Files.h"
#include "support/Json.h"
#include "support/KwlList.h"
#include "support/Paths.h"
#include "support/TempTree.h"

namespace {

// A tree of names that every system allows (each punctuation character alone and all of them
// in one name, letters outside ASCII and outside the Basic Multilingual Plane, the longest
// names, nested and empty directories, a read-only file) comes back entry by entry as the
// system reports it. Access times of the directories lie ahead, so that listing them does not
// move them. (JsonExportLinuxTest.cpp adds what only Linux has: names that are not UTF-8,
// control characters, links, a FIFO, nanoseconds set by hand.)
TEST(JsonExportTest, EveryEntryMatchesWhatTheSystemReports) {
    CTempTree tree;
    std::string strPunctuation;
    for (char c = ' '; c <= '~'; ++c) {
        const std::string strName(1, c);
        if (std::isalnum(static_cast<unsigned char>(c)) || c == '/' || c == '.' ||
            !CTempTree::AllowsName(strName))
            continue;
        strPunctuation += c;
        tree.AddFile("e/" + strName, static_cast<std::uint64_t>(c));
    }
    tree.AddFile("e/" + strPunctuation + "end", 3);
    std::string strUmlauts;
    while (strUmlauts.size() + 2 <= 255)
        strUmlauts += "\xC3\xA4";
    tree.AddFile("e/" + strUmlauts + "z", 2);
    tree.AddFile("e/" + std::string(255, 'x'), 1);
    tree.AddFile("e/smile\xF0\x9F\x98\x80.txt", 4);
    tree.AddFile("e/\xE6\x97\xA5\xE6\x9C\xAC.txt", 5);
    tree.AddFile("e/dir one/inner", 7);
    tree.AddFile("e/dir one/deeper/deepest/leaf", 8);
    tree.AddDir("e/empty");
    tree.AddFile("e/readonly", 4);
    tree.SetTimes("e/readonly", 1234567890, 1500000000);
    tree.SetMode("e/readonly", 0444);
    const std::int64_t nAhead = std::time(nullptr) + 86400;
    for (const char* psz : {"e/dir one/deeper/deepest", "e/dir one/deeper", "e/dir one", "e/empty",
                            "e"})
        tree.SetTimes(psz, nAhead, 1234567890);

    const SKwlListResult r = RunKwlList({"-r", "-e", "json", tree.Path("e")});
    ASSERT_EQ(r.nStatus, 0) << r.strErr;
    const CJsonDocument doc = ParseJson(r.strOut);
    std::size_t nSeen = 0;
    ExpectNodeMatchesDisk(doc["tree"], tree.Path("e"), nSeen);
    EXPECT_EQ(doc["totals"]["directories"].GetUint64(), 4u);
    EXPECT_EQ(doc["totals"]["files"].GetUint64(), nSeen - 5); // the root and four directories
}

TEST(JsonExportTest, WithoutRecursionSubdirectoriesHaveNoChildren) {
    CTempTree tree;
    tree.AddFile("top/sub/inner", 5);
    tree.AddFile("top/file", 3);
    const SKwlListResult r = RunKwlList({"-e", "json", tree.Path("top") + "/"});
    ASSERT_EQ(r.nStatus, 0) << r.strErr;
    const CJsonDocument doc = ParseJson(r.strOut);
    EXPECT_FALSE(doc["recursive"].GetBool());
    const CJsonValue& root = doc["tree"];
    EXPECT_EQ(JsonText(root["name"]), "top"); // trailing "/" ignored
    const CJsonValue& children = root["children"];
    ASSERT_EQ(children.Size(), 2u);
    const CJsonValue& sub = children[0u];
    EXPECT_EQ(JsonText(sub["name"]), "sub");
    EXPECT_FALSE(HasKey(sub, "children"));
    EXPECT_EQ(doc["totals"]["files"].GetUint64(), 1u);
}

// Both hashes of known contents, as the reference tools (sha256sum, xxhsum -H2) give them: empty,
// "abc" and a file longer than one read.
TEST(JsonExportTest, HashesAreThoseOfTheReferenceTools) {
    CTempTree tree;
    std::string strBig(1024 * 1024 + 3, '\0');
    for (std::size_t i = 0; i < strBig.size(); ++i)
        strBig[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);
    ASSERT_TRUE(WriteFile(tree.AddFile("t/big"), strBig));
    ASSERT_TRUE(WriteFile(tree.AddFile("t/abc"), "abc"));
    tree.AddFile("t/empty");
    struct SCase {
        const char* pszAlgorithm;
        std::map<std::string, std::string> hashes;
    };
    const SCase cases[] = {
        {"sha256",
         {{"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
          {"big", "1eb92911c51f33959c6e582d767d6dbc6c933130291f3bf6ecc7ff93842ba6f5"},
          {"empty", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"}}},
        {"xxh128",
         {{"abc", "06b05ab6733a618578af5f94892f3950"},
          {"big", "3027abf1a4fa37aaa5c05e44a4fb3e90"},
          {"empty", "99aa06d3014798d86001c324468d497f"}}},
    };
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.pszAlgorithm);
        const SKwlListResult r =
            RunKwlList({"-e", "json", "--hash", c.pszAlgorithm, tree.Path("t")});
        ASSERT_EQ(r.nStatus, 0) << r.strErr;
        const CJsonDocument doc = ParseJson(r.strOut);
        EXPECT_EQ(JsonText(doc["hash"]), c.pszAlgorithm);
        std::map<std::string, std::string> hashes;
        for (const CJsonValue& node : doc["tree"]["children"].GetArray())
            hashes[JsonText(node["name"])] = JsonText(node["hash"]);
        EXPECT_EQ(hashes, c.hashes);
    }
}

TEST(JsonExportTest, UnreadableDirectoryWritesNothing) {
    CTempTree tree;
    const std::string strFile = tree.Path("out.json");
    const SKwlListResult r = RunKwlList({"-e", "json", "-o", strFile, tree.Path("missing")});
    EXPECT_EQ(r.nStatus, 1);
    EXPECT_EQ(r.strOut, "");
    EXPECT_NE(r.strErr.find("No such file or directory"), std::string::npos) << r.strErr;
    EXPECT_FALSE(std::filesystem::exists(FsPath(strFile)));
}

TEST(JsonExportTest, FormatSeparatorAndLanguageDoNotApply) {
    CTempTree tree;
    tree.AddFile("top/a", 1);
    RunKwlList({"-e", "json", tree.Path("top")}); // the first read moves the access time
    const SKwlListResult plain = RunKwlList({"-e", "json", tree.Path("top")});
    const SKwlListResult other =
        RunKwlList({"-e", "json", "-f", "not a format", "-s", ",", "-l", "de", tree.Path("top")});
    EXPECT_EQ(other.nStatus, 0) << other.strErr;
    const std::size_t nHeaderEnd = plain.strOut.find('\n');
    EXPECT_EQ(other.strOut.substr(nHeaderEnd), plain.strOut.substr(nHeaderEnd));
}

} // namespace
