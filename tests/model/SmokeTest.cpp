#include <gtest/gtest.h>
#include "model/DirectoryScanner.h"
#include "format/KWLFormat.h"
#include "support/TempTree.h"
TEST(Smoke, ScanAndRender) {
    CWorkingDirGuard guard;
    CTempTree tree;
    tree.AddFile("x/a.txt", 120);
    tree.AddFile("x/B.txt", 5);
    tree.AddFile("x/sub/c.txt", 7);
    tree.AddFile("x/sub/deep/d.txt", 9);
    CKWLItemFactory factory;
    CKWLOption option;
    option.m_bRecursive = true;
    CDirectoryScanner scanner(factory, option);
    CDirInformation* pRoot = nullptr;
    ASSERT_TRUE(scanner.RebuildTree(pRoot, tree.Path("x")));
    EXPECT_EQ(pRoot->m_nTotalSize, 141u);
    CKWLFormat format;
    ASSERT_TRUE(format.Validate("name|F-[(]-F-size-F-[ bytes)]|[\\[]-crTime-[\\]]"));
    EXPECT_EQ(format.Render(pRoot->m_pFirstFile, 1).substr(0, 21), "  a.txt\t(120 bytes)\t[");
    EXPECT_EQ(CurrentWorkingDir(), tree.Root());
    factory.RecycleTree(pRoot);
}
