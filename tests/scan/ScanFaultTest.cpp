// The scan against hostile trees and faults: any depth under low descriptor limits, read
// errors and entries that cannot be examined, and byte totals beyond 64 bits.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "TreeChecks.h"
#include "scan/DirectoryScanner.h"
#include "platform/Time.h"
#include "support/Child.h"
#include "support/TempTree.h"

namespace {

// Sets a variable of the fault shim (tests/support/FaultShim.cpp) for one test.
class CFaultVariable {
public:
    CFaultVariable(const char* pszName, const char* pszValue) : m_pszName(pszName) {
        setenv(pszName, pszValue, 1);
    }
    ~CFaultVariable() { unsetenv(m_pszName); }
    CFaultVariable(const CFaultVariable&) = delete;
    CFaultVariable& operator=(const CFaultVariable&) = delete;

private:
    const char* m_pszName;
};

// ---- depth ----

bool ChainIsComplete(const CDirInformation* pRoot, int nDepth) {
    const CDirInformation* p = pRoot;
    for (int i = 0; i < nDepth; ++i) {
        if (DirNames(p) != std::vector<std::string>{"d"} || p->m_pFirstFile != nullptr)
            return false;
        p = p->m_pFirstSubDir;
    }
    return p->m_pFirstSubDir == nullptr && FileNames(p) == std::vector<std::string>{"leaf.txt"};
}

struct SDepthCase {
    std::string strTop;
    int nDepth;
    rlim_t nLimit; // 0: the limit the tests run with
    unsigned nThreads;
};

// In a child, as `ulimit -n` does: soft and hard limit lowered together.
int ScanChainUnderLimit(void* pArg) {
    const auto& c = *static_cast<const SDepthCase*>(pArg);
    if (c.nLimit != 0) {
        const rlimit lim{c.nLimit, c.nLimit};
        if (setrlimit(RLIMIT_NOFILE, &lim) != 0)
            return 10;
    }
    const SChildScan scan(c.strTop, c.nThreads);
    if (!scan.bOpened)
        return 11;
    if (!scan.errors.empty())
        return 12;
    return ChainIsComplete(scan.pRoot, c.nDepth) ? 0 : 13;
}

TEST(ScanFaultDepth, ChainListsItsLeafUnderAnyDescriptorLimit) {
    CTempTree tree;
    const std::string strShort = tree.AddChain("short", 100);
    const std::string strLong = tree.AddChain("long", 20'000);
    const SDepthCase cases[] = {
        {strShort, 100, 64, 1},  {strShort, 100, 64, 4},   {strShort, 100, 16, 1},
        {strShort, 100, 16, 4},  {strLong, 20'000, 32, 1}, {strLong, 20'000, 32, 2},
        {strLong, 20'000, 0, 1}, {strLong, 20'000, 0, 4},
    };
    for (const SDepthCase& c : cases) {
        SCOPED_TRACE(std::to_string(c.nDepth) + " levels, limit " + std::to_string(c.nLimit) +
                     ", " + std::to_string(c.nThreads) + " threads");
        EXPECT_EQ(RunInChild([&] { return ScanChainUnderLimit(const_cast<SDepthCase*>(&c)); }), 0);
    }
}

// Every level holds "a", which goes deeper and is read first, and "b" with a file: all the
// way down each level still has "b" to open, so descriptors must be closed on the way and
// opened again on the way back.
int ScanBushyUnderLimit(void* pArg) {
    const auto& c = *static_cast<const SDepthCase*>(pArg);
    const rlimit lim{c.nLimit, c.nLimit};
    if (setrlimit(RLIMIT_NOFILE, &lim) != 0)
        return 10;
    const SChildScan scan(c.strTop, c.nThreads);
    if (!scan.bOpened || !scan.errors.empty())
        return 11;
    const CDirInformation* p = scan.pRoot;
    for (int i = 0; i < c.nDepth; ++i) {
        const CDirInformation* pB = FindDir(p, "b");
        if (pB == nullptr || FileNames(pB) != std::vector<std::string>{"f" + std::to_string(i)})
            return 12;
        p = FindDir(p, "a");
        if (p == nullptr)
            return 13;
    }
    return p->m_pFirstSubDir == nullptr ? 0 : 14;
}

TEST(ScanFaultDepth, DirectoriesClosedOnTheWayDownAreOpenedAgain) {
    CTempTree tree;
    constexpr int kDepth = 150;
    std::string strLevel = "top/";
    for (int i = 0; i < kDepth; ++i) {
        tree.AddFile(strLevel + "b/f" + std::to_string(i));
        strLevel += "a/";
    }
    tree.AddDir(strLevel);
    for (unsigned nThreads : {1u, 3u}) {
        SCOPED_TRACE(std::to_string(nThreads) + " threads");
        SDepthCase c{tree.Path("top"), kDepth, 20, nThreads};
        EXPECT_EQ(RunInChild([&] { return ScanBushyUnderLimit(&c); }), 0);
    }
}

int ScanKeepsTheLimit(void* pArg) {
    const auto& c = *static_cast<const SDepthCase*>(pArg);
    rlimit lim{};
    if (getrlimit(RLIMIT_NOFILE, &lim) != 0 || lim.rlim_max <= c.nLimit)
        return 10;
    lim.rlim_cur = c.nLimit; // the hard limit stays higher: raising would be possible
    if (setrlimit(RLIMIT_NOFILE, &lim) != 0)
        return 11;
    const SChildScan scan(c.strTop, c.nThreads);
    rlimit after{};
    if (getrlimit(RLIMIT_NOFILE, &after) != 0)
        return 12;
    if (after.rlim_cur != lim.rlim_cur || after.rlim_max != lim.rlim_max)
        return 13;
    return ChainIsComplete(scan.pRoot, c.nDepth) ? 0 : 14;
}

TEST(ScanFaultDepth, DescriptorLimitIsNeverRaised) {
    CTempTree tree;
    SDepthCase c{tree.AddChain("chain", 100), 100, 64, 2};
    EXPECT_EQ(RunInChild([&] { return ScanKeepsTheLimit(&c); }), 0);
}

// ---- read errors ----

TEST(ScanFaultErrors, ReadErrorKeepsWhatWasReadAndIsRecorded) {
    CTempTree tree;
    for (int i = 0; i < 20; ++i)
        tree.AddFile("top/failing/f" + std::to_string(100 + i), 1);
    tree.AddFile("top/ok/g", 2);
    tree.AddFile("top/h", 3);
    const CFaultVariable fault("KWL_TEST_READ_ERROR", "failing");
    for (unsigned nThreads : {1u, 2u}) {
        SCOPED_TRACE(std::to_string(nThreads) + " threads");
        const SChildScan scan(tree.Path("top"), nThreads);
        ASSERT_TRUE(scan.bOpened);
        const std::vector<SScanError> expected = {{tree.Path("top/failing"), EIO}};
        EXPECT_EQ(scan.errors, expected);
        const CDirInformation* pFailing = FindDir(scan.pRoot, "failing");
        ASSERT_NE(pFailing, nullptr);
        const std::vector<std::string> read = FileNames(pFailing);
        EXPECT_LT(read.size(), 20u); // the rest is not made up
        for (const std::string& s : read)
            EXPECT_EQ(s.rfind("f1", 0), 0u) << s;
        EXPECT_EQ(CheckCounts(scan.pRoot), "");
        EXPECT_EQ(FileNames(FindDir(scan.pRoot, "ok")), std::vector<std::string>{"g"});
        EXPECT_EQ(FileNames(scan.pRoot), std::vector<std::string>{"h"});
    }
    // The chosen directory itself: its path as given, trailing "/" and all.
    const SChildScan scan(tree.Path("top/failing") + "/", 1);
    EXPECT_TRUE(scan.bOpened);
    const std::vector<SScanError> expected = {{tree.Path("top/failing") + "/", EIO}};
    EXPECT_EQ(scan.errors, expected);
}

// Exact, for the exports that carry the path; messages show it without control characters.
TEST(ScanFaultErrors, PathsAreExact) {
    CTempTree tree;
    tree.AddFile("top/bad\nname/failing/x");
    const CFaultVariable fault("KWL_TEST_READ_ERROR", "failing");
    const SChildScan scan(tree.Path("top"), 1);
    const std::vector<SScanError> expected = {{tree.Path("top/bad\nname/failing"), EIO}};
    EXPECT_EQ(scan.errors, expected);
}

TEST(ScanFaultErrors, KindsTheDirectoryDoesNotTellComeFromTheStatus) {
    CTempTree tree;
    tree.AddFile("top/file", 4);
    tree.AddFile("top/sub/inner", 5);
    tree.AddLink("top/link", "sub");
    std::string strKnown;
    {
        const SChildScan scan(tree.Path("top"), 1);
        strKnown = DescribeTree(scan.pRoot);
    }
    const CFaultVariable fault("KWL_TEST_UNKNOWN_KIND", "1");
    const SChildScan scan(tree.Path("top"), 2);
    EXPECT_EQ(DescribeTree(scan.pRoot), strKnown);
    EXPECT_TRUE(scan.errors.empty());
}

struct SUnknownArgs {
    std::string strRoot;
};

// As nobody, in a directory that may be listed but not searched, with no kinds reported.
int ScanUnknownKindsAsNobody(void* pArg) {
    const auto& args = *static_cast<SUnknownArgs*>(pArg);
    const SChildScan scan(args.strRoot, 1);
    const CDirInformation* pNoSearch = FindDir(scan.pRoot, "nosearch");
    if (pNoSearch == nullptr)
        return 10;
    // Nothing tells that "inner" is a directory: it is listed, as a file of size 0.
    if (FileNames(pNoSearch) != std::vector<std::string>{"f1", "inner"} ||
        pNoSearch->m_pFirstSubDir != nullptr)
        return 11;
    for (const CFileInformation* p = pNoSearch->m_pFirstFile; p; p = p->m_pNextFile) {
        if (p->m_nSize != 0 ||
            FormatLocalTime(p->m_timeCreation.GetTime()) != "??.??.????, ??:??:??")
            return 12;
    }
    const std::vector<SScanError> expected = {{args.strRoot + "/nosearch", EACCES}};
    return scan.errors == expected ? 0 : 13;
}

TEST(ScanFaultErrors, EntryOfUnknownKindThatCannotBeExaminedIsListed) {
    CTempTree tree;
    tree.AddFile("chosen/nosearch/f1", 5);
    tree.AddFile("chosen/nosearch/inner/deep", 5);
    tree.SetMode("chosen/nosearch", 0644);
    const CFaultVariable fault("KWL_TEST_UNKNOWN_KIND", "1");
    SUnknownArgs args{tree.Path("chosen")};
    EXPECT_EQ(RunInChild([&] { return ScanUnknownKindsAsNobody(&args); }, AsNobody()), 0);
}

// ---- totals ----

TEST(ScanFaultTotals, TotalsStopAtTheLargestNumberInsteadOfWrapping) {
    // Files of 2^63 - 1 bytes need a file system that allows them, such as tmpfs.
    if (!std::filesystem::is_directory("/dev/shm"))
        GTEST_SKIP() << "no /dev/shm";
    CTempTree tree("/dev/shm");
    constexpr std::uint64_t kHuge = INT64_MAX;
    try {
        for (const char* psz : {"three/a", "three/b", "three/c", "two/a", "two/b"})
            tree.AddSparseFile(psz, kHuge);
    } catch (const std::exception& e) {
        GTEST_SKIP() << e.what();
    }
    tree.AddFile("one", 1);
    const SChildScan scan(tree.Root(), 2);
    // Within one directory, while its files are counted.
    EXPECT_EQ(FindDir(scan.pRoot, "three")->m_nTotalSize, UINT64_MAX);
    EXPECT_EQ(FindDir(scan.pRoot, "three")->m_nFileCount, 3);
    // 2^64 - 2 still fits; adding it to the rest does not.
    EXPECT_EQ(FindDir(scan.pRoot, "two")->m_nTotalSize, 2 * kHuge);
    EXPECT_EQ(scan.pRoot->m_nTotalSize, UINT64_MAX);
    EXPECT_EQ(FindFile(FindDir(scan.pRoot, "three"), "a")->m_nSize, kHuge);
}

} // namespace
