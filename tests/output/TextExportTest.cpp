#include <gtest/gtest.h>

#include "format/KWLFormat.h"
#include "output/ListingBuilder.h"
#include "output/OutputSink.h"
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

// A name that a spreadsheet would take for a formula ("=1+1" shows 2, "=HYPERLINK(...)" a live
// link) is quoted with a leading "'" inside the quotes, so that it stays text; the raw fields
// that programs may ask for keep only the RFC 4180 quoting. One character (an attribute's
// "-") holds no formula and keeps its bytes.
TEST(TextExport, FieldsThatStartLikeAFormulaStayText) {
    struct SCase {
        std::string strName;
        std::string strGuarded; // the name's field by default
        std::string strRaw;     // with EFieldQuoting::Rfc4180
    };
    const SCase cases[] = {
        {"=1+1", "\"'=1+1\"", "=1+1"},
        {"+1+1", "\"'+1+1\"", "+1+1"},
        {"-1+1", "\"'-1+1\"", "-1+1"},
        {"-dash", "\"'-dash\"", "-dash"},
        {"@SUM(1)", "\"'@SUM(1)\"", "@SUM(1)"},
        {"=HYPERLINK(\"x\")", "\"'=HYPERLINK(\"\"x\"\")\"", "\"=HYPERLINK(\"\"x\"\")\""},
        {"=a;b", "\"'=a;b\"", "\"=a;b\""},
        {"-", "-", "-"},
        {"+", "+", "+"},
        {"=", "=", "="},
        {"a=1+1", "a=1+1", "a=1+1"},
        {"'=1+1", "'=1+1", "'=1+1"},
        {" =1+1", " =1+1", " =1+1"},
        {"\t=1+1", "?=1+1", "?=1+1"}, // shown without the control character: no formula
        {"\xC3\xA4=1", "\xC3\xA4=1", "\xC3\xA4=1"},
    };
    CKWLFormat format;
    ASSERT_TRUE(format.Validate(kNameSizeFormat));
    for (const SCase& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.strName));
        if (!CTempTree::AllowsName(c.strName))
            continue; // Windows refuses '"' and control characters in names
        CTempTree tree;
        tree.AddFile("d/" + c.strName, 1);
        CScannedTree scanned(tree.Path("d"));
        EXPECT_EQ(BuildTextExport(format, scanned.Root(), "d", "L ", ";").strText,
                  "L d:\n\n" + c.strGuarded + ";1");
        std::string strRaw;
        COutputSink sink(strRaw);
        WriteTextExport(sink, format, scanned.Root(), "d", "L ", ";", EFieldQuoting::Rfc4180);
        sink.Finish();
        EXPECT_EQ(strRaw, "L d:\n\n" + c.strRaw + ";1");
    }
}

// The guard applies to every field: the heading, any column, a column of several attributes;
// a single attribute's "-" is left as it is. (Attributes that no test file has on either
// system: Windows sets the archive bit on every new file.)
TEST(TextExport, FormulaGuardInTheHeadingAndEveryColumn) {
    CTempTree tree;
    tree.AddFile("d/-x", 1);
    tree.AddFile("d/.h", 2);
    CScannedTree scanned(tree.Path("d"));
    CKWLFormat format;
    ASSERT_TRUE(format.Validate("hid|name|ro|compr-ro"));

    EXPECT_EQ(BuildTextExport(format, scanned.Root(), "=1+1", "", ";").strText,
              "\"'=1+1:\"\n\n-;\"'-x\";-;\"'--\"\nH;.h;-;\"'--\"");
    std::string strRaw;
    COutputSink sink(strRaw);
    WriteTextExport(sink, format, scanned.Root(), "=1+1", "", ";", EFieldQuoting::Rfc4180);
    sink.Finish();
    EXPECT_EQ(strRaw, "=1+1:\n\n-;-x;-;--\nH;.h;-;--");
}

// The rule itself, with the starts that no name can carry (control characters are shown as
// "?" in names): a tab and a carriage return.
TEST(TextExport, QuoteFieldTable) {
    struct SCase {
        std::string strField;
        EFieldQuoting eQuoting;
        std::string strWritten;
    };
    const SCase cases[] = {
        {"\t1", EFieldQuoting::Rfc4180InertFormulas, "\"'\t1\""},
        {"\r1", EFieldQuoting::Rfc4180InertFormulas, "\"'\r1\""},
        {"\t", EFieldQuoting::Rfc4180InertFormulas, "\t"},
        {"\t1", EFieldQuoting::Rfc4180, "\t1"},
        {"=1", EFieldQuoting::None, "=1"},
        {"a;b\"", EFieldQuoting::None, "a;b\""},
        {"a;b\"", EFieldQuoting::Rfc4180, "\"a;b\"\"\""},
        {"", EFieldQuoting::Rfc4180InertFormulas, ""},
    };
    for (const SCase& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.strField));
        std::string strLine = "x;" + c.strField;
        QuoteField(strLine, 2, ";", c.eQuoting);
        EXPECT_EQ(strLine, "x;" + c.strWritten);
    }
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
        {"\"", false},        {"'", true},      // the quote encloses fields
    };
    for (const SCase& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.strSeparator));
        EXPECT_EQ(IsSeparatorAllowed(c.strSeparator), c.bAllowed);
    }
}

} // namespace
