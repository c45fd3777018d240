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

// The window keeps only a listing's beginning: it must be the full listing's first bytes,
// also where the kept length ends inside a piece, at a piece's end or past the whole text,
// and the result must tell what the whole rendering told (an undefined keyword in a file
// line that comes after the kept part included).
TEST(ListingBuilder, StartIsTheBeginningOfTheWholeListing) {
    CTempTree tree;
    const std::string strName(120, 'n');
    for (int i = 0; i < 1500; ++i) // about 190 KB of lines: several pieces
        tree.AddFile("big/" + std::to_string(10000 + i) + strName, static_cast<std::uint64_t>(i));
    const std::string strPath = tree.Path("big");
    CScannedTree scanned(strPath);
    CKWLFormat format;
    ASSERT_TRUE(format.Validate("name|size|D-files|files"));
    const SRenderedText whole = BuildListing(format, scanned.Root(), strPath, kEnglish, true);
    ASSERT_GT(whole.strText.size(), 3 * 65536u);
    ASSERT_TRUE(whole.bUndefinedField);

    for (const std::size_t nKeep : {std::size_t{0}, std::size_t{1}, std::size_t{65535},
                                    std::size_t{65536}, std::size_t{65537}, std::size_t{150000},
                                    whole.strText.size() - 1, whole.strText.size(),
                                    whole.strText.size() + 1000}) {
        SCOPED_TRACE(nKeep);
        const SListingStart start =
            BuildListingStart(format, scanned.Root(), strPath, kEnglish, true, nKeep);
        EXPECT_EQ(start.strText, whole.strText.substr(0, nKeep));
        EXPECT_EQ(start.nTotalBytes, whole.strText.size());
        EXPECT_TRUE(start.bUndefinedField);
    }
}
