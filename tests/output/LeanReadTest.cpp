// A scan that reads only what the format shows (no status for files, no directories below a
// depth limit that no total needs) gives every output byte for byte as a full read does.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "format/KWLFormat.h"
#include "lang/Language.h"
#include "lang/TextId.h"
#include "output/HtmlExport.h"
#include "output/ListingBuilder.h"
#include "output/OutputSink.h"
#include "output/TextExport.h"
#include "scan/DirectoryScanner.h"
#include "support/TempTree.h"

namespace {

// Listing, text export and HTML page of the tree, in one string.
std::string AllOutputs(const CItemTree& tree, const std::string& strFormat, ELanguage eLanguage) {
    CKWLFormat format;
    EXPECT_TRUE(format.Validate(strFormat));
    const CLanguage language(eLanguage);
    std::string strOut;
    COutputSink sink(strOut);
    WriteListing(sink, format, tree.Root(), "dir", language.GetText(kTextHeading), true);
    WriteTextExport(sink, format, tree.Root(), "dir", language.GetText(kTextHeading), ";");
    WriteHtmlDocument(sink, format, tree.Root(), "dir", language.GetText(kTextHtmlTitle),
                      language.GetText(kTextDirectory));
    sink.Finish();
    return strOut;
}

TEST(LeanReadTest, OutputsAreThoseOfAFullRead) {
    if (!CTempTree::CanMakeLinks())
        GTEST_SKIP() << "links as Linux has them";
    if (!CTempTree::AllowsName("new\nline"))
        GTEST_SKIP() << "Windows forbids such names";
    CTempTree tree;
    tree.AddFile("top/.hidden", 3);
    tree.AddFile("top/a/b/c/d/deep.txt", 9);
    tree.AddFile("top/a/f.txt", 1);
    tree.AddFile("top/Z", 2);
    tree.AddFile("top/new\nline", 4);
    tree.AddLink("top/link", "a");
    tree.SetMode("top/Z", 0444);
    CKWLOption option;
    option.m_bRecursive = true;
    struct SCase {
        std::string strFormat;
        int nMaxDepth;
    };
    const SCase cases[] = {
        {"D-[D ]-name", -1}, {"name", -1}, {"name|hid|files", -1}, {"[x]|D-name|F-name", -1},
        {"D-[D ]-name", 2},  {"name|hid", 1},
    };
    for (const SCase& c : cases) {
        CKWLFormat format;
        ASSERT_TRUE(format.Validate(c.strFormat));
        EXPECT_FALSE(format.NeedsFileStatus()) << c.strFormat;
        for (unsigned nThreads : {1u, 8u}) {
            for (ELanguage eLanguage : {ELanguage::English, ELanguage::German}) {
                SCOPED_TRACE(c.strFormat + " -j " + std::to_string(nThreads) + " depth " +
                             std::to_string(c.nMaxDepth));
                CDirectoryScanner scanner(option);
                scanner.SetThreads(nThreads);
                CItemTree full;
                ASSERT_TRUE(scanner.RebuildTree(full, tree.Path("top")));
                scanner.SetStatFiles(false);
                if (!format.NeedsDirectoryEntries())
                    scanner.SetReadDepth(c.nMaxDepth);
                CItemTree lean;
                ASSERT_TRUE(scanner.RebuildTree(lean, tree.Path("top")));
                if (c.nMaxDepth >= 0) {
                    full.CutBelow(c.nMaxDepth);
                    lean.CutBelow(c.nMaxDepth);
                }
                EXPECT_EQ(AllOutputs(lean, c.strFormat, eLanguage),
                          AllOutputs(full, c.strFormat, eLanguage));
            }
        }
    }
    // And a format that shows status does need it.
    for (const char* psz : {"name|size", "F-ro", "modTime", "D-size", "compr", "crTime|name"}) {
        CKWLFormat format;
        ASSERT_TRUE(format.Validate(psz));
        EXPECT_TRUE(format.NeedsFileStatus()) << psz;
    }
}

} // namespace
