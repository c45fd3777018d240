#include <gtest/gtest.h>

#include "format/KWLFormat.h"
#include "output/ListingBuilder.h"
#include "output/ScannedTree.h"
#include "output/TextExport.h"

namespace {

constexpr const char* kEnglish = "Listing of Directory ";

struct SSeparatorCase {
    const char* szName;
    const char* szSeparator;
};

void PrintTo(const SSeparatorCase& c, std::ostream* pOut) {
    *pOut << c.szName;
}

class TextExportSeparator : public testing::TestWithParam<SSeparatorCase> {};

// Every line at depth 0, everything the tree holds, the user's separator between columns.
TEST_P(TextExportSeparator, ExampleTreeExactBytes) {
    const std::string strSep = GetParam().szSeparator;
    CTempTree tree;
    const std::string strPath = MakeExampleTree(tree);
    CScannedTree scanned(strPath);
    CKWLFormat format;
    ASSERT_TRUE(format.Validate(kNameSizeFormat));

    const SRenderedText text = BuildTextExport(format, scanned.Root(), strPath, kEnglish, strSep);

    EXPECT_EQ(text.strText, std::string(kEnglish) + strPath + ":\n\nsub\ndeep\nd.txt" + strSep +
                                "9\nc.txt" + strSep + "7\na.txt" + strSep + "120\nb.txt" + strSep +
                                "5");
    EXPECT_FALSE(text.bUndefinedField);
}

INSTANTIATE_TEST_SUITE_P(Separators, TextExportSeparator,
                         testing::Values(SSeparatorCase{"Semicolon", ";"},
                                         SSeparatorCase{"Tab", "\t"},
                                         SSeparatorCase{"TwoByteCharacter", "\xC2\xA7"}),
                         [](const testing::TestParamInfo<SSeparatorCase>& info) {
                             return info.param.szName;
                         });

// The export's separator is its own: a listing from the same engine afterwards has its tabs.
TEST(TextExport, LeavesTheListingItsTabs) {
    CTempTree tree;
    const std::string strPath = MakeExampleTree(tree);
    CScannedTree scanned(strPath);
    CKWLFormat format;
    ASSERT_TRUE(format.Validate(kNameSizeFormat));

    BuildTextExport(format, scanned.Root(), strPath, kEnglish, ";");
    const std::string strListing =
        BuildListing(format, scanned.Root(), strPath, kEnglish, true).strText;
    EXPECT_NE(strListing.find("\r\na.txt\t120"), std::string::npos);
    EXPECT_EQ(strListing.find(';'), std::string::npos);
}

// A keyword that files do not define: every line is still there, and the result says so.
TEST(TextExport, ReportsAnUndefinedKeyword) {
    CTempTree tree;
    const std::string strPath = MakeExampleTree(tree);
    CScannedTree scanned(strPath);
    CKWLFormat format;
    ASSERT_TRUE(format.Validate("name|files"));

    const SRenderedText text = BuildTextExport(format, scanned.Root(), strPath, "L ", ";");
    EXPECT_TRUE(text.bUndefinedField);
    EXPECT_EQ(text.strText, "L " + strPath + ":\n\nsub;1\ndeep;1\nd.txt;\nc.txt;\na.txt;\nb.txt;");
}

// What is below a subdirectory depends on the scan only: the export has no option to heed.
TEST(TextExport, HoldsWhatTheScanStored) {
    CTempTree tree;
    const std::string strPath = MakeExampleTree(tree);
    CKWLFormat format;
    ASSERT_TRUE(format.Validate("name"));

    CScannedTree flat(strPath, false);
    EXPECT_EQ(BuildTextExport(format, flat.Root(), strPath, "L ", ";").strText,
              "L " + strPath + ":\n\nsub\na.txt\nb.txt");
}

// A directory with subdirectories on several levels and siblings: each directory, its whole
// subtree, then its files; no indentation anywhere.
TEST(TextExport, NestedSiblingsInTreeOrderWithoutIndent) {
    CTempTree tree;
    tree.AddFile("r/a/a1/f", 1);
    tree.AddDir("r/a/a2");
    tree.AddFile("r/a/g", 2);
    tree.AddFile("r/b/h", 3);
    CScannedTree scanned(tree.Path("r"));
    CKWLFormat format;
    ASSERT_TRUE(format.Validate("D-[D ]-name"));

    EXPECT_EQ(BuildTextExport(format, scanned.Root(), "r", "L ", ";").strText,
              "L r:\n\nD a\nD a1\nf\nD a2\ng\nD b\nh");

    std::string strOut = "x";
    ListDirectoriesText(format, nullptr, ";", strOut);
    EXPECT_EQ(strOut, "x");
    ASSERT_TRUE(format.Validate("name|F-[x]"));
    ListDirectoriesText(format, scanned.Root()->m_pFirstSubDir, ";", strOut);
    EXPECT_EQ(strOut, "x\na\na1\nf;x\na2\ng;x\nb\nh;x");
}

TEST(TextExport, EmptyDirectoryGivesHeadingWithLineEnd) {
    CTempTree tree;
    const std::string strPath = tree.AddDir("empty");
    CScannedTree scanned(strPath);
    CKWLFormat format;
    ASSERT_TRUE(format.Validate(kNameSizeFormat));

    EXPECT_EQ(BuildTextExport(format, scanned.Root(), strPath, kEnglish, ";").strText,
              std::string(kEnglish) + strPath + ":\n");
}

// A field that holds the separator or a double quote is quoted (RFC 4180), so spreadsheets
// keep the columns apart; every other field, the heading too, is written as it is.
TEST(TextExport, FieldsThatHoldTheSeparatorOrAQuoteAreQuoted) {
    if (!CTempTree::AllowsName("<q\">"))
        GTEST_SKIP() << "Windows forbids such names";
    CTempTree tree;
    const std::string strPath = tree.AddDir("R&D <1>");
    tree.AddFile("R&D <1>/a&b.txt", 1);
    tree.AddFile("R&D <1>/<q\">.txt", 2);
    tree.AddFile("R&D <1>/x;y", 3);
    tree.AddFile("R&D <1>/c,d", 4);
    tree.AddFile("R&D <1>/plain", 5);
    CScannedTree scanned(strPath);
    CKWLFormat format;
    ASSERT_TRUE(format.Validate(kNameSizeFormat));

    struct SCase {
        std::string strSeparator;
        std::vector<std::string> lines; // after the heading and the empty line
    };
    const SCase cases[] = {
        {";", {"\"<q\"\">.txt\";2", "a&b.txt;1", "c,d;4", "plain;5", "\"x;y\";3"}},
        {",", {"\"<q\"\">.txt\",2", "a&b.txt,1", "\"c,d\",4", "plain,5", "x;y,3"}},
        {"\t", {"\"<q\"\">.txt\"\t2", "a&b.txt\t1", "c,d\t4", "plain\t5", "x;y\t3"}},
        {"\"", {"\"<q\"\">.txt\"\"2", "a&b.txt\"1", "c,d\"4", "plain\"5", "x;y\"3"}},
        {"\xC3\xA4", {"\"<q\"\">.txt\"\xC3\xA4" "2", "a&b.txt\xC3\xA4" "1", "c,d\xC3\xA4" "4",
                      "plain\xC3\xA4" "5", "x;y\xC3\xA4" "3"}},
    };
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.strSeparator);
        std::string strExpected = std::string(kEnglish) + strPath + ":\n";
        for (const std::string& strLine : c.lines)
            strExpected += "\n" + strLine;
        EXPECT_EQ(BuildTextExport(format, scanned.Root(), strPath, kEnglish, c.strSeparator).strText,
                  strExpected);
    }

    // The heading is a field too; the comma in every time is the classic case.
    CKWLFormat timeFormat;
    ASSERT_TRUE(timeFormat.Validate("name|F-modTime"));
    const std::string strText =
        BuildTextExport(timeFormat, scanned.Root(), "a \"b\", c", kEnglish, ",").strText;
    EXPECT_EQ(strText.substr(0, strText.find('\n')),
              "\"" + std::string(kEnglish) + "a \"\"b\"\", c:\"");
    const CFileInformation* pFile = scanned.Root()->m_pFirstFile->m_pNextFile; // a&b.txt
    EXPECT_NE(strText.find("\na&b.txt,\"" + CKWLFormat::FormatTime(pFile->m_timeLastWrite) + "\""),
              std::string::npos)
        << strText;
}

// The dialog and kwl-list share this rule: one character of any width, a tab, but nothing that
// would break a row.
TEST(TextExport, SeparatorIsOneCharacterThatKeepsTheRows) {
    struct SCase {
        std::string strSeparator;
        bool bAllowed;
    };
    const SCase cases[] = {
        {";", true},          {",", true},         {" ", true},
        {"\t", true},         {"\xC3\xA9", true},  {"\xE2\x82\xAC", true}, // é, €
        {"\xF0\x9F\x98\x80", true},                                      // four bytes
        {"", false},          {";;", false},       {"\xC3\xA9\xC3\xA9", false},
        {"\n", false},        {"\r", false},       {"\x1B", false},
        {"\x7F", false},      {std::string(1, '\0'), false},
        {"\xFF", false},      {"\xC3", false}, // not UTF-8, or cut inside a sequence
    };
    for (const SCase& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.strSeparator));
        EXPECT_EQ(IsSeparatorAllowed(c.strSeparator), c.bAllowed);
    }
}

} // namespace
