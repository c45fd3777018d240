// What the scan reads when it is told to leave things out or to read only what an output needs:
// no status for files that nobody shows, no excluded directory opened, no directory on another
// file system entered.
#include <sys/mount.h>
#include <unistd.h>

#include <string>

#include <gtest/gtest.h>

#include "model/ItemTree.h"
#include "model/KWLOption.h"
#include "scan/DirectoryScanner.h"
#include "support/TempTree.h"

extern "C" unsigned long KwlTestStatxCalls() noexcept; // tests/support/FaultShim.cpp

namespace {

// Statx calls while fn runs.
template <class TFn> unsigned long StatxCallsOf(TFn&& fn) {
    const unsigned long nBefore = KwlTestStatxCalls();
    fn();
    return KwlTestStatxCalls() - nBefore;
}

int CountFiles(const CDirInformation* pDir) {
    int n = 0;
    for (const CFileInformation* p = pDir->m_pFirstFile; p != nullptr; p = p->m_pNextFile)
        ++n;
    for (const CDirInformation* p = pDir->m_pFirstSubDir; p != nullptr; p = p->m_pNextDir)
        n += CountFiles(p);
    return n;
}

TEST(ScanFilterTest, FilesGetNoStatusWhenNoneIsShown) {
    CTempTree tree;
    constexpr int kDirs = 5, kFilesPerDir = 40;
    for (int d = 0; d < kDirs; ++d)
        for (int f = 0; f < kFilesPerDir; ++f)
            tree.AddFile("d" + std::to_string(d) + "/f" + std::to_string(f), 3);
    tree.AddLink("d0/link", "f0");
    CKWLOption option;
    option.m_bRecursive = true;
    for (unsigned nThreads : {1u, 4u}) {
        SCOPED_TRACE(nThreads);
        CItemTree full, lean;
        CDirectoryScanner scanner(option);
        scanner.SetThreads(nThreads);
        const unsigned long nFull = StatxCallsOf([&] { scanner.RebuildTree(full, tree.Root()); });
        scanner.SetStatFiles(false);
        const unsigned long nLean = StatxCallsOf([&] { scanner.RebuildTree(lean, tree.Root()); });
        // Every file and link once less; the directories are still examined.
        EXPECT_EQ(nFull - nLean, static_cast<unsigned long>(kDirs * kFilesPerDir + 1));
        EXPECT_LE(nLean, static_cast<unsigned long>(kDirs + 2));
        EXPECT_EQ(CountFiles(lean.Root()), kDirs * kFilesPerDir + 1);
        // The kinds come from the directory.
        const CFileInformation* pLink = lean.Root()->m_pFirstSubDir->m_pFirstFile;
        while (pLink != nullptr && std::string(pLink->m_strName) != "link")
            pLink = pLink->m_pNextFile;
        ASSERT_NE(pLink, nullptr);
        EXPECT_EQ(pLink->m_eKind, EFileKind::Symlink);
    }
}

// An excluded directory is never opened: one whose reading would fail is no error.
TEST(ScanFilterTest, ExcludedDirectoryIsNeverOpened) {
    CTempTree tree;
    tree.AddFile("top/secret/x", 1);
    tree.AddFile("top/keep/y", 2);
    CKWLOption option;
    option.m_bRecursive = true;
    SFilterSettings settings;
    settings.patterns = {"secret/"};
    std::string strError;
    const std::optional<CEntryFilter> filter = CEntryFilter::Compile(settings, strError);
    ASSERT_TRUE(filter) << strError;
    CDirectoryScanner scanner(option);
    scanner.SetFilter(&*filter);
    CItemTree scanned;
    // Its reading fails, were it read (the fault shim).
    setenv("KWL_TEST_READ_ERROR", "secret", 1);
    ASSERT_TRUE(scanner.RebuildTree(scanned, tree.Path("top")));
    unsetenv("KWL_TEST_READ_ERROR");
    EXPECT_TRUE(scanner.GetScanErrors().empty());
    ASSERT_NE(scanned.Root()->m_pFirstSubDir, nullptr);
    EXPECT_EQ(std::string(scanned.Root()->m_pFirstSubDir->m_strName), "keep");
    EXPECT_EQ(scanned.Root()->m_pFirstSubDir->m_pNextDir, nullptr);
    EXPECT_EQ(scanned.Root()->m_nTotalSize, 2u);
}

// -x: a file system mounted inside the tree is listed as an empty directory, not entered.
TEST(ScanFilterTest, OneFileSystemStopsAtAMount) {
    if (geteuid() != 0)
        GTEST_SKIP() << "needs root to mount a tmpfs";
    CTempTree tree;
    tree.AddFile("top/here/a", 1);
    const std::string strMount = tree.AddDir("top/mnt");
    if (mount("tmpfs", strMount.c_str(), "tmpfs", 0, "size=1m") != 0)
        GTEST_SKIP() << "cannot mount a tmpfs here";
    tree.AddFile("top/mnt/inside/b", 5);
    CKWLOption option;
    option.m_bRecursive = true;
    for (bool bOne : {false, true}) {
        SCOPED_TRACE(bOne);
        CDirectoryScanner scanner(option);
        scanner.SetOneFileSystem(bOne);
        CItemTree scanned;
        ASSERT_TRUE(scanner.RebuildTree(scanned, tree.Path("top")));
        EXPECT_TRUE(scanner.GetScanErrors().empty());
        const CDirInformation* pMnt = scanned.Root()->m_pFirstSubDir->m_pNextDir;
        ASSERT_NE(pMnt, nullptr);
        EXPECT_EQ(std::string(pMnt->m_strName), "mnt");
        EXPECT_EQ(pMnt->m_pFirstSubDir == nullptr, bOne);
        EXPECT_EQ(pMnt->m_nTotalSize, bOne ? 0u : 5u);
        EXPECT_EQ(scanned.Root()->m_nTotalSize, bOne ? 1u : 6u);
    }
    umount2(strMount.c_str(), MNT_DETACH);
}

// A depth limit: directories at it are listed, not read; cutting a whole tree keeps the totals.
TEST(ScanFilterTest, DepthLimitReadsOrCutsButKeepsTotals) {
    CTempTree tree;
    tree.AddFile("top/a/b/c/deep", 7);
    tree.AddFile("top/a/f", 1);
    CKWLOption option;
    option.m_bRecursive = true;
    CDirectoryScanner scanner(option);
    CItemTree read;
    scanner.SetReadDepth(2);
    ASSERT_TRUE(scanner.RebuildTree(read, tree.Path("top")));
    const CDirInformation* pB = read.Root()->m_pFirstSubDir->m_pFirstSubDir;
    ASSERT_NE(pB, nullptr);
    EXPECT_EQ(pB->m_pFirstSubDir, nullptr); // b is at depth 2: listed, not read
    EXPECT_EQ(read.Root()->m_nTotalSize, 1u);

    CItemTree whole;
    scanner.SetReadDepth(-1);
    ASSERT_TRUE(scanner.RebuildTree(whole, tree.Path("top")));
    whole.CutBelow(2);
    const CDirInformation* pA = whole.Root()->m_pFirstSubDir;
    EXPECT_FALSE(pA->m_bEntriesLeftOut);
    EXPECT_TRUE(pA->m_pFirstSubDir->m_bEntriesLeftOut);
    EXPECT_EQ(pA->m_pFirstSubDir->m_pFirstSubDir, nullptr);
    EXPECT_EQ(pA->m_pFirstSubDir->m_nTotalSize, 7u); // b still counts c/deep
    EXPECT_EQ(whole.Root()->m_nTotalSize, 8u);
    whole.CutBelow(0);
    EXPECT_EQ(whole.Root()->m_pFirstSubDir, nullptr);
    EXPECT_EQ(whole.Root()->m_nTotalSize, 8u);
}

} // namespace
