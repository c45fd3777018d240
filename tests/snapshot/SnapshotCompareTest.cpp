// Comparison rules where the command-line scenarios cannot reach them easily: which files pair
// up as moves, what is not compared, and trees of any depth.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "snapshot/SnapshotCompare.h"
#include "snapshot/SnapshotReader.h"

namespace {

std::string Node(const std::string& strName, std::uint64_t nSize, const std::string& strHash = "",
                 const std::string& strMtime = "2026-01-01T00:00:00Z") {
    std::string str = R"({"name":")" + strName + R"(","type":"file","size":)" +
                      std::to_string(nSize) + R"(,"mtime":")" + strMtime + '"';
    if (!strHash.empty())
        str += R"(,"hash":")" + strHash + std::string(64 - strHash.size(), '0') + '"';
    return str + '}';
}

std::string Dir(const std::string& strName, const std::string& strChildren, bool bRead = true) {
    return R"({"name":")" + strName + R"(","type":"directory","size":0)" +
           (bRead ? R"(,"children":[)" + strChildren + "]" : std::string()) + '}';
}

// A recursive snapshot; nMaxDepth > 0 records that depth limit.
CSnapshot Read(const std::string& strChildren, const char* pszHash = "sha256",
               const std::string& strErrors = "", int nMaxDepth = 0) {
    const std::string strText = R"({"kwl_tree":1,"root":"/r","recursive":true,"hash":)" +
                                (pszHash != nullptr ? '"' + std::string(pszHash) + '"' : "null") +
                                R"(,"tree":)" + Dir("r", strChildren) + R"(,"errors":[)" +
                                strErrors + "]" +
                                (nMaxDepth > 0 ? R"(,"filters":{"max_depth":)" +
                                                     std::to_string(nMaxDepth) + "}"
                                               : std::string()) +
                                "}";
    CSnapshot snapshot;
    SSnapshotError error;
    EXPECT_TRUE(ReadSnapshotText(strText, snapshot, error)) << error.nOffset << " " << error.strDetail;
    return snapshot;
}

// "kind old-path new-path" per change.
std::vector<std::string> Describe(const SCompareResult& result, const CSnapshot& a,
                                  const CSnapshot& b) {
    std::vector<std::string> lines;
    for (const SChange& change : result.changes) {
        const std::string strOld = change.nOld != kNoEntry ? a.RelativePath(change.nOld) : "-";
        const std::string strNew = change.nNew != kNoEntry ? b.RelativePath(change.nNew) : "-";
        const char* kinds[] = {"added", "removed", "changed", "moved"};
        lines.push_back(std::string(kinds[static_cast<int>(change.eKind)]) + " " + strOld + " " + strNew);
    }
    return lines;
}

TEST(SnapshotCompareTest, WhichFilesPairUpAsMoves) {
    struct SCase {
        const char* pszName;
        std::string strOld, strNew;
        const char* pszHashNew; // the new side's algorithm
        std::vector<std::string> expected;
    };
    const SCase cases[] = {
        {"equal hashes under other names", Dir("a", Node("x", 5, "aa")), Dir("b", Node("y", 5, "aa")),
         "sha256", {"moved a/x b/y", "removed a -", "added - b"}},
        {"equal size, time and name, different hashes: no move", Dir("a", Node("x", 5, "aa")),
         Dir("b", Node("x", 5, "bb")), "sha256",
         {"removed a -", "removed a/x -", "added - b", "added - b/x"}},
        {"no hash on the new side: size, time and name", Dir("a", Node("x", 5, "aa")),
         Dir("b", Node("x", 5)), "sha256", {"moved a/x b/x", "removed a -", "added - b"}},
        {"hashes of another algorithm are not compared", Dir("a", Node("x", 5, "aa")),
         Dir("b", Node("y", 5, "aa")), "xxh128",
         {"removed a -", "removed a/x -", "added - b", "added - b/y"}},
        {"empty files pair up only by time and name", Node("e1", 0, "e3") + "," + Node("e2", 0, "e3"),
         Dir("d", Node("e2", 0, "e3") + "," + Node("other", 0, "e3")), "sha256",
         {"added - d", "moved e2 d/e2", "added - d/other", "removed e1 -"}},
        {"one removed file is taken once", Dir("a", Node("x", 5, "aa")),
         Dir("b", Node("x", 5)) + "," + Dir("c", Node("y", 5, "aa")), "sha256",
         {"moved a/x b/x", "removed a -", "added - b", "added - c", "added - c/y"}},
        {"many alike", Dir("a", Node("x", 0)) + "," + Dir("b", Node("x", 0)) + "," + Dir("c", Node("x", 0)),
         Dir("p", Node("x", 0)) + "," + Dir("q", Node("x", 0)), "sha256",
         {"moved a/x p/x", "moved b/x q/x", "removed a -", "removed b -", "removed c -",
          "removed c/x -", "added - p", "added - q"}},
        {"two alike: paired in path order", Dir("a", Node("x", 5, "aa") + "," + Node("y", 5, "aa")),
         Dir("b", Node("p", 5, "aa") + "," + Node("q", 5, "aa")), "sha256",
         {"moved a/x b/p", "moved a/y b/q", "removed a -", "added - b"}},
    };
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.pszName);
        const CSnapshot a = Read(c.strOld);
        const CSnapshot b = Read(c.strNew, c.pszHashNew);
        const SCompareResult result = CompareSnapshots(a, b);
        std::vector<std::string> lines = Describe(result, a, b);
        std::vector<std::string> expected = c.expected;
        std::sort(lines.begin(), lines.end());
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(lines, expected);
    }
}

// Below a directory that either side did not read (completely), nothing is claimed.
TEST(SnapshotCompareTest, WhatWasNotReadIsNotCompared) {
    const CSnapshot whole = Read(Dir("d", Node("x", 1)) + "," + Node("f", 1));
    // d lies at the depth limit.
    const CSnapshot unread = Read(Dir("d", "", false) + "," + Node("f", 2), "sha256", "", 1);
    const CSnapshot failed = Read(Dir("d", "") + "," + Node("f", 1), "sha256",
                                  R"({"path":"/r/d","reason":"Input/output error","errno":5})");
    EXPECT_EQ(Describe(CompareSnapshots(whole, unread), whole, unread),
              std::vector<std::string>{"changed f f"});
    EXPECT_EQ(Describe(CompareSnapshots(unread, whole), unread, whole),
              std::vector<std::string>{"changed f f"});
    EXPECT_TRUE(CompareSnapshots(whole, failed).changes.empty());
}

// No recursion: a chain far deeper than any stack holds, with one change at its bottom.
TEST(SnapshotCompareTest, TreesOfAnyDepth) {
    constexpr int kDepth = 100000;
    const auto chain = [&](const std::string& strLeaf) {
        std::string str;
        for (int i = 0; i < kDepth; ++i)
            str += R"({"name":"d","type":"directory","size":0,"children":[)";
        str += strLeaf;
        for (int i = 0; i < kDepth; ++i)
            str += "]}";
        return str;
    };
    const CSnapshot a = Read(chain(""));
    const CSnapshot b = Read(chain(Node("leaf", 1)));
    const SCompareResult result = CompareSnapshots(a, b);
    ASSERT_EQ(result.changes.size(), 1u);
    EXPECT_EQ(result.changes[0].eKind, EChange::Added);
    EXPECT_EQ(b.RelativePath(result.changes[0].nNew).size(), 2u * kDepth + 4);
    ASSERT_EQ(result.topLevel.size(), 1u);
    EXPECT_EQ(result.topLevel[0].strName, "d");
    EXPECT_EQ(result.topLevel[0].nFilesAdded, 1u);
}

} // namespace
