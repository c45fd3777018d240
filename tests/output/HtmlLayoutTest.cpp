#include <gtest/gtest.h>

#include <vector>

#include "model/ItemTree.h"
#include "model/KWLItemFactory.h"
#include "output/HtmlLayout.h"
#include "output/ScannedTree.h"

namespace {

// Worked example: one directory column, two file columns. x holds a.txt, b.txt and sub, sub
// holds c.txt and deep, deep holds d.txt.
TEST(HtmlLayoutMeasure, CountsRowsAndWidth) {
    CTempTree tree;
    const std::string strPath = MakeExampleTree(tree);
    CScannedTree scanned(strPath);

    SHtmlLayout layout = MeasureHtmlLayout(*scanned.Root(), 2, 1);
    EXPECT_EQ(layout.nColumns, 4); // deep's files: depth 2 + 2 columns
    // x: sub, deep and three directories with files; sub: deep and two with files.
    EXPECT_EQ(layout.rowSpans, (std::vector<int>{5, 3}));

    // Directories without subdirectories need no span; empty ones add a row to their parent.
    tree.AddDir("x/empty");
    tree.AddFile("x/z/zz", 1);
    scanned.Scan(strPath);
    layout = MeasureHtmlLayout(*scanned.Root(), 2, 1);
    EXPECT_EQ(layout.nColumns, 4);
    EXPECT_EQ(layout.rowSpans, (std::vector<int>{8, 3}));

    // A subtree is measured from its own top, at depth 0.
    layout = MeasureHtmlLayout(*scanned.Root()->m_pFirstSubDir->m_pNextDir, 2, 1);
    ASSERT_EQ(scanned.Root()->m_pFirstSubDir->m_pNextDir->m_strName, "sub");
    EXPECT_EQ(layout.nColumns, 3);
    EXPECT_EQ(layout.rowSpans, (std::vector<int>{3}));

    // Directory columns widen the table where they are wider than the files'.
    layout = MeasureHtmlLayout(*scanned.Root(), 1, 5);
    EXPECT_EQ(layout.nColumns, 6); // sub's row of deep: depth 1 + 5 columns
    EXPECT_EQ(layout.rowSpans, (std::vector<int>{8, 3}));
}

TEST(HtmlLayoutMeasure, EmptyDirectory) {
    const CDirInformation empty;
    const SHtmlLayout layout = MeasureHtmlLayout(empty, 2, 1);
    EXPECT_EQ(layout.nColumns, 0);
    EXPECT_TRUE(layout.rowSpans.empty());
}

// Trees too large to make on disk, built in memory as the scan builds them.
class HtmlLayoutLargeTree : public ::testing::Test {
protected:
    CDirInformation* Dir() {
        CDirInformation* p = m_factory.NewDirectory();
        p->Set("d", CTime(0), 0, 0);
        return p;
    }
    void AddFile(CDirInformation* pDir) {
        CFileInformation* p = m_factory.NewFile();
        p->Set(1, "f", false, false, false, false, false, CTime(0), CTime(0), CTime(0));
        pDir->Insert(p);
    }

    CKWLItemFactory m_factory;
    CItemTree m_tree{m_factory}; // takes back every node linked below its root
    CDirInformation* m_pRoot = m_tree.Root();
};

TEST_F(HtmlLayoutLargeTree, MillionSiblings) {
    constexpr int kCount = 1'000'000;
    AddFile(m_pRoot);
    CDirInformation* pLast = nullptr;
    for (int i = 0; i < kCount; ++i) {
        CDirInformation* pDir = Dir();
        (pLast ? pLast->m_pNextDir : m_pRoot->m_pFirstSubDir) = pDir;
        pLast = pDir;
    }

    const SHtmlLayout layout = MeasureHtmlLayout(*m_pRoot, 2, 1);
    EXPECT_EQ(layout.nColumns, 2);
    EXPECT_EQ(layout.rowSpans, (std::vector<int>{kCount + 1}));
}

// Nothing depends on the call stack.
TEST_F(HtmlLayoutLargeTree, HundredThousandLevelsDeep) {
    constexpr int kDepth = 100'000;
    CDirInformation* pCur = m_pRoot;
    for (int i = 0; i < kDepth; ++i) {
        AddFile(pCur);
        pCur->m_pFirstSubDir = Dir();
        pCur = pCur->m_pFirstSubDir;
    }
    AddFile(pCur);

    const SHtmlLayout layout = MeasureHtmlLayout(*m_pRoot, 3, 1);
    EXPECT_EQ(layout.nColumns, kDepth + 3);
    ASSERT_EQ(layout.rowSpans.size(), static_cast<std::size_t>(kDepth));
    // Level i: the kDepth - i directories below it and the kDepth - i + 1 that hold files.
    for (int i = 0; i < kDepth; ++i)
        ASSERT_EQ(layout.rowSpans[static_cast<std::size_t>(i)], 2 * (kDepth - i) + 1) << i;
}

} // namespace
