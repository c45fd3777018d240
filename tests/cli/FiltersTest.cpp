// kwl-list's filter options from the command line: what is refused, and what a snapshot keeps of
// them for a later comparison.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/Files.h"
#include "support/Json.h"
#include "support/KwlList.h"
#include "support/TempTree.h"

namespace {

TEST(FiltersTest, BadInputIsAUsageError) {
    CTempTree tree;
    const std::string strDir = tree.AddDir("t");
    const std::string strBinary = tree.Path("binary");
    ASSERT_TRUE(WriteFile(strBinary, std::string("a\0b\n", 4)));
    struct SCase {
        std::vector<std::string> args;
        std::string strErr;
    };
    const SCase cases[] = {
        {{"--exclude", "["}, "bad pattern '[': \"[\" without \"]\""},
        {{"--exclude", ""}, "bad pattern '': empty"},
        {{"--exclude", "a//b"}, "bad pattern 'a//b': an empty component"},
        {{"--exclude", "x\\"}, "bad pattern 'x\\': ends in an escape"},
        {{"--exclude-from", tree.Path("missing")},
         "cannot read the pattern file '" + tree.Path("missing") + "': No such file or directory"},
        {{"--exclude-from", strDir}, "cannot read the pattern file '" + strDir + "': Is a directory"},
        {{"--exclude-from", strBinary}, "cannot read the pattern file '" + strBinary +
                                            "': not a text file (it holds NUL bytes)"},
        {{"--max-depth", "-1"}, "the depth must be a whole number from 1 to 2147483647"},
        // Depth 0 would list DIRECTORY's files and nothing of its subdirectories.
        {{"--max-depth", "0"}, "the depth must be a whole number from 1 to 2147483647"},
        {{"--max-depth", "abc"}, "the depth must be a whole number"},
        {{"--max-depth", "2147483648"}, "the depth must be a whole number"},
        {{"--max-depth", ""}, "the depth must be a whole number"},
    };
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.strErr);
        std::vector<std::string> args = c.args;
        args.push_back(strDir);
        const SKwlListResult r = RunKwlList(args);
        EXPECT_EQ(r.nStatus, 2);
        EXPECT_EQ(r.strErr.rfind("kwl-list: " + c.strErr, 0), 0u) << r.strErr;
        EXPECT_EQ(r.strOut, "");
    }
}

// A pattern file written on another system: CR LF, comments, empty lines, "\#"; the byte order
// mark that Windows editors put before the first line is no part of its pattern.
TEST(FiltersTest, PatternFileLines) {
    CTempTree tree;
    for (const char* psz : {"t/#tag", "t/keep", "t/x.o", "t/drop me", "t/#kept"})
        tree.AddFile(psz, 1);
    const std::string strPatterns = tree.Path("patterns");
    for (const char* pszText : {"# objects\r\n*.o\r\n\r\ndrop me\r\n\\#tag\n",
                                "\xEF\xBB\xBF*.o\r\ndrop me\r\n\\#tag\r\n",
                                "\xEF\xBB\xBF# objects\r\n*.o\r\ndrop me\r\n\\#tag"}) {
        SCOPED_TRACE(testing::PrintToString(pszText));
        ASSERT_TRUE(WriteFile(strPatterns, pszText));
        const SKwlListResult r =
            RunKwlList({"-f", "name", "--exclude-from", strPatterns, tree.Path("t")});
        EXPECT_EQ(r.nStatus, 0) << r.strErr;
        EXPECT_EQ(r.strOut.substr(r.strOut.find("\r\n\r\n") + 4), "#kept\r\nkeep");
    }
}

// The snapshot says how it was filtered; a comparison scans with the same filters, so what they
// leave out is no difference.
TEST(FiltersTest, SnapshotKeepsItsFiltersForTheComparison) {
    CTempTree tree;
    tree.AddFile("t/src/a.c", 1);
    tree.AddFile("t/src/a.o", 2);
    tree.AddFile("t/src/sub/deeper/x", 3);
    const std::string strSnapshot = tree.Path("snap.json");
    // A pattern that is not UTF-8 is kept exact, in base64; Windows' command line (UTF-16)
    // cannot carry one.
    const std::string strBinaryPattern = "\x1b\xff";
    const bool bBinaryPattern = ArgumentArrivesExactly(strBinaryPattern);
    std::vector<std::string> args = {"-e", "json", "--exclude", "*.o"};
    if (bBinaryPattern)
        args.insert(args.end(), {"--exclude", strBinaryPattern});
    args.insert(args.end(), {"--max-depth", "2", "-o", strSnapshot, tree.Path("t")});
    const SKwlListResult snap = RunKwlList(args);
    ASSERT_EQ(snap.nStatus, 0) << snap.strErr;
    const CJsonDocument doc = ParseJson(ReadFile(strSnapshot));
    const CJsonValue& filters = doc["filters"];
    EXPECT_EQ(JsonText(filters["exclude"][0u]["pattern"]), "*.o");
    if (bBinaryPattern) {
        EXPECT_EQ(JsonText(filters["exclude"][1u]["pattern_base64"]), "G/8=");
    }
    EXPECT_EQ(filters["max_depth"].GetInt64(), 2);
    // src/sub lies at the limit: listed with its total, its children left out.
    const CJsonValue& sub = doc["tree"]["children"][0u]["children"][0u];
    EXPECT_EQ(JsonText(sub["name"]), "sub");
    EXPECT_EQ(sub["size"].GetUint64(), 3u);
    EXPECT_FALSE(HasKey(sub, "children"));

    tree.AddFile("t/src/b.o", 5);             // left out by a pattern
    tree.AddFile("t/src/sub/deeper/y", 6);    // below the limit
    SKwlListResult r = RunKwlList({"--compare", strSnapshot, tree.Path("t")});
    EXPECT_EQ(r.nStatus, 0) << r.strErr;
    EXPECT_EQ(r.strOut, "");
    tree.AddFile("t/src/b.c", 7);
    r = RunKwlList({"--compare", strSnapshot, tree.Path("t")});
    EXPECT_EQ(r.nStatus, 1) << r.strErr;
    EXPECT_EQ(r.strOut.substr(0, r.strOut.find('\n')), "added: src/b.c");
    // The filters come from the snapshot only.
    r = RunKwlList({"--compare", strSnapshot, "--no-hidden", tree.Path("t")});
    EXPECT_EQ(r.nStatus, 2);
    EXPECT_EQ(r.strErr, "kwl-list: --compare scans with the snapshot's filters; give none\n"
                        "Try 'kwl-list --help' for more information.\n");
}

// With a depth limit the sizes stay whole, and so do the totals: they count the directories,
// files and bytes below the limit too, so that the bytes are the root's size.
TEST(FiltersTest, TotalsCountWhatTheSizesCount) {
    CTempTree tree;
    const std::string strDir = MakeExampleTree(tree); // 2 directories, 4 files, 141 bytes
    for (const char* pszDepth : {"1", "2", "3"}) {
        SCOPED_TRACE(pszDepth);
        const SKwlListResult r = RunKwlList({"-e", "json", "--max-depth", pszDepth, strDir});
        ASSERT_EQ(r.nStatus, 0) << r.strErr;
        const CJsonDocument doc = ParseJson(r.strOut);
        EXPECT_EQ(doc["tree"]["size"].GetUint64(), 141u);
        EXPECT_EQ(doc["totals"]["directories"].GetUint64(), 2u);
        EXPECT_EQ(doc["totals"]["files"].GetUint64(), 4u);
        EXPECT_EQ(doc["totals"]["bytes"].GetUint64(), 141u);
    }
}

} // namespace
