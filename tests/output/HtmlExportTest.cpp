#include <gtest/gtest.h>

#include <functional>

#include "format/KWLFormat.h"
#include "output/HtmlExport.h"
#include "output/ScannedTree.h"

namespace {

constexpr const char* kShaded = "bgcolor=\"#BBBBBBBB\"";

std::string Head(const std::string& strTitle, const std::string& strHeading) {
    return "<HTML>\n<HEAD><META charset=\"utf-8\"><TITLE>" + strTitle +
           "</TITLE></HEAD>\n<BODY>\n<H1>" + strHeading + "</H1>\n\n<TABLE BORDER=1>\n";
}

constexpr const char* kTail = "</TABLE>\n</BODY>\n</HTML>";

// The rows of the page between the table's start and end tags.
std::string TableRows(const std::string& strHtml) {
    const std::string strStart = "<TABLE BORDER=1>\n";
    const std::size_t nStart = strHtml.find(strStart);
    const std::size_t nEnd = strHtml.rfind(kTail);
    if (nStart == std::string::npos || nEnd == std::string::npos)
        return "(no table)";
    return strHtml.substr(nStart + strStart.size(), nEnd - nStart - strStart.size());
}

const std::string kExampleRows =
    std::string("<TR><TD COLSPAN=4 ") + kShaded + ">sub</TD></TR>\n" +
    "<TR><TD ROWSPAN=3>&nbsp;</TD><TD COLSPAN=3 " + kShaded + ">deep</TD></TR>\n" +
    "<TR><TD>&nbsp;</TD><TD>d.txt<BR></TD><TD>9<BR></TD></TR>\n" +
    "<TR><TD>c.txt<BR></TD><TD COLSPAN=2>7<BR></TD></TR>\n" +
    "<TR><TD>a.txt<BR>b.txt<BR></TD><TD COLSPAN=3>120<BR>5<BR></TD></TR>\n";

TEST(HtmlExport, ExampleTreeWholeDocument) {
    CTempTree tree;
    const std::string strPath = MakeExampleTree(tree);
    CScannedTree scanned(strPath);
    CKWLFormat format;
    ASSERT_TRUE(format.Validate(kNameSizeFormat));

    const SRenderedText html =
        BuildHtmlDocument(format, scanned.Root(), strPath, "listing of", "Directory");

    EXPECT_EQ(html.strText,
              Head("listing of " + strPath, "Directory " + strPath) + kExampleRows + kTail);
    EXPECT_FALSE(html.bUndefinedField);
}

struct SLayoutCase {
    const char* szName;
    std::function<void(CTempTree&)> fnBuild; // fills the directory "r"
    const char* szFormat;
    std::string strRows;
};

void PrintTo(const SLayoutCase& c, std::ostream* pOut) {
    *pOut << c.szName;
}

class HtmlExportLayout : public testing::TestWithParam<SLayoutCase> {};

TEST_P(HtmlExportLayout, TableRows) {
    const SLayoutCase& c = GetParam();
    CTempTree tree;
    tree.AddDir("r");
    c.fnBuild(tree);
    CScannedTree scanned(tree.Path("r"));
    CKWLFormat format;
    ASSERT_TRUE(format.Validate(c.szFormat));

    const std::string strHtml = BuildHtmlDocument(format, scanned.Root(), "r", "t", "h").strText;

    EXPECT_EQ(strHtml.substr(0, strHtml.find("<TABLE")), "<HTML>\n<HEAD><META charset=\"utf-8\">"
                                                         "<TITLE>t r</TITLE></HEAD>\n<BODY>\n"
                                                         "<H1>h r</H1>\n\n");
    EXPECT_EQ(TableRows(strHtml), c.strRows);
}

void ExampleUnderR(CTempTree& tree) {
    tree.AddFile("r/sub/deep/d.txt", 9);
    tree.AddFile("r/sub/c.txt", 7);
    tree.AddFile("r/a.txt", 120);
    tree.AddFile("r/b.txt", 5);
}

const std::string kTwelveColumns =
    "F-name|F-size|F-name|F-size|F-name|F-size|F-name|F-size|F-name|F-size|F-name|F-size";

// Ten cells of their own, then the rest of every line in the eleventh, whose tabs turn into
// further cells; the span sits on the eleventh.
std::string TwelveColumnRow(const std::string& strStart, const std::string& strNames,
                            const std::string& strSizes, const std::string& strRest,
                            const std::string& strSpan) {
    std::string strRow = strStart;
    for (int k = 0; k < 10; ++k)
        strRow += (k % 2 == 0 ? strNames : strSizes) + "</TD><TD";
    return strRow + strSpan + ">" + strRest + "</TD></TR>\n";
}

INSTANTIATE_TEST_SUITE_P(
    Trees, HtmlExportLayout,
    testing::Values(
        SLayoutCase{"EmptyRoot", [](CTempTree&) {}, kNameSizeFormat, ""},
        SLayoutCase{"FilesOnly",
                    [](CTempTree& t) {
                        t.AddFile("r/a.txt", 120);
                        t.AddFile("r/b.txt", 5);
                    },
                    kNameSizeFormat, "<TR><TD>a.txt<BR>b.txt<BR></TD><TD>120<BR>5<BR></TD></TR>\n"},
        // Empty directories get their own row and nothing under it; a directory without files
        // spans only the rows of its subdirectories.
        SLayoutCase{"EmptyAndFilelessDirectories",
                    [](CTempTree& t) {
                        t.AddDir("r/top/e1");
                        t.AddFile("r/top/e2/f.txt", 3);
                    },
                    kNameSizeFormat,
                    std::string("<TR><TD COLSPAN=4 ") + kShaded + ">top</TD></TR>\n" +
                        "<TR><TD ROWSPAN=3>&nbsp;</TD><TD COLSPAN=3 " + kShaded +
                        ">e1</TD></TR>\n" + "<TR><TD COLSPAN=3 " + kShaded + ">e2</TD></TR>\n" +
                        "<TR><TD>&nbsp;</TD><TD>f.txt<BR></TD><TD>3<BR></TD></TR>\n"},
        // The span goes on the last of several shaded cells.
        SLayoutCase{"ThreeDirectoryColumns", ExampleUnderR, "name|D-files|D-size|F-size",
                    std::string("<TR><TD ") + kShaded + ">sub</TD><TD " + kShaded +
                        ">1</TD><TD COLSPAN=2 " + kShaded + ">16</TD></TR>\n" +
                        "<TR><TD ROWSPAN=3>&nbsp;</TD><TD " + kShaded + ">deep</TD><TD " + kShaded +
                        ">1</TD><TD " + kShaded + ">9</TD></TR>\n" +
                        "<TR><TD>&nbsp;</TD><TD>d.txt<BR></TD><TD>9<BR></TD></TR>\n" +
                        "<TR><TD>c.txt<BR></TD><TD COLSPAN=2>7<BR></TD></TR>\n" +
                        "<TR><TD>a.txt<BR>b.txt<BR></TD><TD COLSPAN=3>120<BR>5<BR></TD></TR>\n"},
        // No directory element: one empty shaded cell spanning w + 1.
        SLayoutCase{"NoDirectoryElement", ExampleUnderR, "F-name|F-size",
                    std::string("<TR><TD COLSPAN=5 ") + kShaded + "></TD></TR>\n" +
                        "<TR><TD ROWSPAN=3>&nbsp;</TD><TD COLSPAN=4 " + kShaded + "></TD></TR>\n" +
                        "<TR><TD>&nbsp;</TD><TD>d.txt<BR></TD><TD>9<BR></TD></TR>\n" +
                        "<TR><TD>c.txt<BR></TD><TD COLSPAN=2>7<BR></TD></TR>\n" +
                        "<TR><TD>a.txt<BR>b.txt<BR></TD><TD COLSPAN=3>120<BR>5<BR></TD></TR>\n"},
        SLayoutCase{"NoDirectoryElementWidthZero", [](CTempTree& t) { t.AddDir("r/e"); }, "F-name",
                    std::string("<TR><TD ") + kShaded + "></TD></TR>\n"},
        SLayoutCase{"MoreThanElevenFileColumns",
                    [](CTempTree& t) {
                        t.AddFile("r/a.txt", 1);
                        t.AddFile("r/b.txt", 2);
                        t.AddFile("r/s/c.txt", 3);
                    },
                    kTwelveColumns.c_str(),
                    std::string("<TR><TD COLSPAN=14 ") + kShaded + "></TD></TR>\n" +
                        TwelveColumnRow("<TR><TD>&nbsp;</TD><TD", ">c.txt<BR>", ">3<BR>",
                                        "c.txt</TD><TD>3<BR>", "") +
                        TwelveColumnRow("<TR><TD", ">a.txt<BR>b.txt<BR>", ">1<BR>2<BR>",
                                        "a.txt</TD><TD>1<BR>b.txt</TD><TD>2<BR>", " COLSPAN=2")}),
    [](const testing::TestParamInfo<SLayoutCase>& info) { return info.param.szName; });

// Text from the file system cannot add markup: names, and the path in title and heading.
TEST(HtmlExport, EscapesNamesAndPathInGerman) {
    if (!CTempTree::AllowsName("<TD>"))
        GTEST_SKIP() << "Windows forbids such names";
    CTempTree tree;
    const std::string strPath = tree.AddDir("R&D <\"1\">");
    tree.AddFile("R&D <\"1\">/a&b.txt", 1);
    tree.AddFile("R&D <\"1\">/<TD\">.txt", 2);
    tree.AddDir("R&D <\"1\">/<TD>");
    CScannedTree scanned(strPath);
    CKWLFormat format;
    ASSERT_TRUE(format.Validate(kNameSizeFormat));

    const std::string strHtml =
        BuildHtmlDocument(format, scanned.Root(), strPath, "Listing von", "Verzeichnis").strText;

    const std::string strEscaped = tree.Root() + "/R&amp;D &lt;&quot;1&quot;&gt;";
    EXPECT_EQ(strHtml, Head("Listing von " + strEscaped, "Verzeichnis " + strEscaped) +
                           "<TR><TD COLSPAN=2 " + kShaded + ">&lt;TD&gt;</TD></TR>\n" +
                           "<TR><TD>&lt;TD&quot;&gt;.txt<BR>a&amp;b.txt<BR></TD><TD>2<BR>1<BR></TD>"
                           "</TR>\n" +
                           kTail);
}

// The counts are measured afresh for every page, also when a new scan reuses old nodes.
TEST(HtmlExport, RepeatedExportsFollowTheCurrentTree) {
    CTempTree tree;
    const std::string strPath = MakeExampleTree(tree);
    CScannedTree scanned(strPath);
    CKWLFormat format;
    ASSERT_TRUE(format.Validate(kNameSizeFormat));

    const std::string strFirst =
        BuildHtmlDocument(format, scanned.Root(), strPath, "t", "h").strText;
    EXPECT_EQ(BuildHtmlDocument(format, scanned.Root(), strPath, "t", "h").strText, strFirst);
    EXPECT_EQ(TableRows(strFirst), kExampleRows);

    tree.AddFile("x/sub/more/e.txt", 4);
    scanned.Scan(strPath);
    EXPECT_EQ(TableRows(BuildHtmlDocument(format, scanned.Root(), strPath, "t", "h").strText),
              std::string("<TR><TD COLSPAN=4 ") + kShaded + ">sub</TD></TR>\n" +
                  "<TR><TD ROWSPAN=5>&nbsp;</TD><TD COLSPAN=3 " + kShaded + ">deep</TD></TR>\n" +
                  "<TR><TD>&nbsp;</TD><TD>d.txt<BR></TD><TD>9<BR></TD></TR>\n" +
                  "<TR><TD COLSPAN=3 " + kShaded + ">more</TD></TR>\n" +
                  "<TR><TD>&nbsp;</TD><TD>e.txt<BR></TD><TD>4<BR></TD></TR>\n" +
                  "<TR><TD>c.txt<BR></TD><TD COLSPAN=2>7<BR></TD></TR>\n" +
                  "<TR><TD>a.txt<BR>b.txt<BR></TD><TD COLSPAN=3>120<BR>5<BR></TD></TR>\n");

    std::string strNone = "x";
    COutputSink sink(strNone);
    ListDirectoriesHtml(format, nullptr, sink, 4, true);
    EXPECT_EQ(strNone, "x");
}

// The rows of a subtree alone, as the page would hold them one level down: the span of the
// indentation cell beside sub's contents comes from measuring that subtree.
TEST(HtmlExport, RowsOfASubtree) {
    CTempTree tree;
    const std::string strPath = MakeExampleTree(tree);
    CScannedTree scanned(strPath);
    CKWLFormat format;
    ASSERT_TRUE(format.Validate(kNameSizeFormat));

    std::string strRows;
    COutputSink sink(strRows);
    EXPECT_FALSE(
        ListDirectoriesHtml(format, scanned.Root()->m_pFirstSubDir, sink, 3, true).bUndefinedField);
    EXPECT_EQ(strRows, std::string("<TR><TD ROWSPAN=3>&nbsp;</TD><TD COLSPAN=3 ") + kShaded +
                           ">deep</TD></TR>\n" +
                           "<TR><TD>&nbsp;</TD><TD>d.txt<BR></TD><TD>9<BR></TD></TR>\n" +
                           "<TR><TD>c.txt<BR></TD><TD COLSPAN=2>7<BR></TD></TR>\n");
}

// Directory and file rows alike report a keyword their kind does not define.
TEST(HtmlExport, ReportsAnUndefinedKeyword) {
    CTempTree tree;
    const std::string strPath = MakeExampleTree(tree);
    CScannedTree scanned(strPath);
    CKWLFormat format;
    for (const char* pszLine : {"name|D-accTime", "name|F-files"}) {
        SCOPED_TRACE(pszLine);
        ASSERT_TRUE(format.Validate(pszLine));
        const SRenderedText html = BuildHtmlDocument(format, scanned.Root(), strPath, "t", "h");
        EXPECT_TRUE(html.bUndefinedField);
        EXPECT_TRUE(html.strText.ends_with(kTail));
    }
    ASSERT_TRUE(format.Validate("name|F-size|D-files"));
    EXPECT_FALSE(BuildHtmlDocument(format, scanned.Root(), strPath, "t", "h").bUndefinedField);
}

// No tab survives anywhere in the page, not even one in the chosen path.
TEST(HtmlExport, NoTabLeftInPage) {
    if (!CTempTree::AllowsName("a\tb"))
        GTEST_SKIP() << "Windows forbids such names";
    CTempTree tree;
    const std::string strPath = tree.AddDir("a\tb");
    tree.AddFile("a\tb/f", 1);
    CScannedTree scanned(strPath);
    CKWLFormat format;
    ASSERT_TRUE(format.Validate(kTwelveColumns));

    const std::string strHtml =
        BuildHtmlDocument(format, scanned.Root(), strPath, "t", "h").strText;

    EXPECT_EQ(strHtml.find('\t'), std::string::npos);
    EXPECT_NE(strHtml.find("<TITLE>t " + tree.Root() + "/a</TD><TD>b</TITLE>"), std::string::npos);
}

TEST(HtmlExport, EscapeAndFindLast) {
    EXPECT_EQ(EscapeHtml("a&b<c>\"d' &amp;"), "a&amp;b&lt;c&gt;&quot;d' &amp;amp;");
    EXPECT_EQ(EscapeHtml("plain\ttext"), "plain\ttext");

    struct {
        const char* szText;
        const char* szFind;
        int nExpected;
    } const cases[] = {
        {"<TR><TD>x</TD><TD a>", "<TD", 14},
        {"aaa", "aa", 1}, // overlapping hits count
        {"abc", "x", -1},
        {"", "<TD", -1},
        {"abc", "", 3},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FindLast(c.szText, c.szFind), c.nExpected) << c.szText << " / " << c.szFind;
}

} // namespace
