#include <gtest/gtest.h>

#include "format/KWLFormat.h"
#include "output/ListingBuilder.h"
#include "output/ScannedTree.h"

namespace {

constexpr const char* kEnglish = "Listing of Directory ";
constexpr const char* kGerman = "Inhalt des Verzeichnisses ";

CKWLFormat NameSizeFormat() {
    CKWLFormat format;
    EXPECT_TRUE(format.Validate(kNameSizeFormat));
    return format;
}

struct SListingCase {
    const char* szName;
    bool bScanRecursive;
    bool bListRecursive;
    const char* szLines; // everything after the heading
};

void PrintTo(const SListingCase& c, std::ostream* pOut) {
    *pOut << c.szName;
}

class ListingBuilderOrder : public testing::TestWithParam<SListingCase> {};

// The option at build time only limits the descent; files of listed directories always come.
TEST_P(ListingBuilderOrder, LinesFollowTreeOrderAndOption) {
    const SListingCase& c = GetParam();
    CTempTree tree;
    const std::string strPath = MakeExampleTree(tree);
    CScannedTree scanned(strPath, c.bScanRecursive);
    const CKWLFormat format = NameSizeFormat();

    const std::string strListing =
        BuildListing(format, scanned.Root(), strPath, kEnglish, c.bListRecursive).strText;

    EXPECT_EQ(strListing, std::string(kEnglish) + strPath + ":\r\n" + c.szLines);
}

INSTANTIATE_TEST_SUITE_P(
    ExampleTree, ListingBuilderOrder,
    testing::Values(
        SListingCase{"RecursiveScanOptionSet", true, true,
                     "\r\nsub\r\n  deep\r\n    d.txt\t9\r\n  c.txt\t7\r\na.txt\t120\r\nb.txt\t5"},
        SListingCase{"RecursiveScanOptionCleared", true, false,
                     "\r\nsub\r\n  c.txt\t7\r\na.txt\t120\r\nb.txt\t5"},
        SListingCase{"FlatScanOptionSet", false, true, "\r\nsub\r\na.txt\t120\r\nb.txt\t5"}),
    [](const testing::TestParamInfo<SListingCase>& info) { return info.param.szName; });

TEST(ListingBuilder, EmptyDirectoryGivesHeadingEndingInLineEnd) {
    CTempTree tree;
    const std::string strPath = tree.AddDir("empty");
    CScannedTree scanned(strPath);
    const CKWLFormat format = NameSizeFormat();

    EXPECT_EQ(BuildListing(format, scanned.Root(), strPath, kEnglish, true).strText,
              std::string(kEnglish) + strPath + ":\r\n");
}

// The path goes in exactly as given: no trailing "/" removed, no normalising.
TEST(ListingBuilder, HeadingNamesPathAsGivenInEitherLanguage) {
    CTempTree tree;
    const std::string strPath = MakeExampleTree(tree);
    const CKWLFormat format = NameSizeFormat();
    for (const std::string& strGiven : {strPath, strPath + "/", strPath + "/../x"}) {
        CScannedTree scanned(strGiven);
        for (const char* szWord : {kEnglish, kGerman}) {
            const std::string strListing =
                BuildListing(format, scanned.Root(), strGiven, szWord, true).strText;
            EXPECT_EQ(strListing.substr(0, strListing.find('\n') + 1),
                      std::string(szWord) + strGiven + ":\r\n")
                << strGiven;
        }
    }
}

// ListDirectories appends to what is there, starting at the depth it is given.
TEST(ListingBuilder, ListDirectoriesAppendsChainAtGivenDepth) {
    CTempTree tree;
    const std::string strPath = MakeExampleTree(tree);
    CScannedTree scanned(strPath);
    const CKWLFormat format = NameSizeFormat();

    std::string strOut = "head";
    ListDirectories(format, scanned.Root()->m_pFirstSubDir, 2, true, strOut);
    EXPECT_EQ(strOut, "head\r\n    sub\r\n      deep\r\n        d.txt\t9\r\n      c.txt\t7");

    std::string strNone = "head";
    ListDirectories(format, nullptr, 0, true, strNone);
    EXPECT_EQ(strNone, "head");
}

// Siblings at every level come in name order, each directory's files after its subtree, and
// depths beyond the prepared indentations still get two spaces per level.
TEST(ListingBuilder, SiblingsAndDeepLevels) {
    CTempTree tree;
    tree.AddFile("r/b/f2", 2);
    tree.AddFile("r/b/f1", 1);
    tree.AddDir("r/a/a2");
    tree.AddDir("r/a/a1");
    tree.AddFile("r/c/1/2/3/4/5/6/7/8/9/10/11/leaf", 3);
    tree.AddFile("r/top", 4);
    CScannedTree scanned(tree.Path("r"));
    CKWLFormat format;
    ASSERT_TRUE(format.Validate("name"));

    const std::string strListing =
        BuildListing(format, scanned.Root(), "r", kEnglish, true).strText;

    std::string strExpected = std::string(kEnglish) + "r:\r\n\r\na\r\n  a1\r\n  a2\r\nb\r\n"
                                                      "  f1\r\n  f2\r\nc";
    for (int nLevel = 1; nLevel <= 11; ++nLevel)
        strExpected += "\r\n" + std::string(2 * nLevel, ' ') + std::to_string(nLevel);
    strExpected += "\r\n" + std::string(24, ' ') + "leaf\r\ntop";
    EXPECT_EQ(strListing, strExpected);
}

// The builder shows nothing itself: a keyword a kind lacks is skipped, every item still gets
// its line, and the result tells the caller. A listing whose items all define their keywords
// reports nothing.
TEST(ListingBuilder, UndefinedKeywordIsReportedInTheResult) {
    CTempTree tree;
    const std::string strPath = MakeExampleTree(tree);
    CScannedTree scanned(strPath);
    CKWLFormat format;
    ASSERT_TRUE(format.Validate("name|files"));

    const SRenderedText listing = BuildListing(format, scanned.Root(), strPath, kEnglish, true);

    EXPECT_TRUE(listing.bUndefinedField);
    EXPECT_EQ(listing.strText, std::string(kEnglish) + strPath +
                                   ":\r\n\r\nsub\t1\r\n  deep\t1\r\n    d.txt\t\r\n  c.txt\t\r\n"
                                   "a.txt\t\r\nb.txt\t");

    std::string strOut;
    EXPECT_TRUE(
        ListDirectories(format, scanned.Root()->m_pFirstSubDir, 0, true, strOut).bUndefinedField);
    // Keywords qualified for the kinds that define them: nothing to report.
    ASSERT_TRUE(format.Validate("name|D-files"));
    EXPECT_FALSE(BuildListing(format, scanned.Root(), strPath, kEnglish, true).bUndefinedField);
}

} // namespace
