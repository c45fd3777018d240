// The scan on several threads: the same tree as on one, whatever the names, the depth and
// the permissions; progress counted from every thread; cancel stops it with a sound tree.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "TreeChecks.h"
#include "scan/DirectoryScanner.h"
#include "platform/WorkProgress.h"
#include "support/Child.h"
#include "support/Files.h"
#include "support/TempTree.h"

namespace {

// std::mt19937_64's sequence is fixed by the standard: the same trees on every machine.
class CRandom {
public:
    explicit CRandom(std::uint64_t nSeed) : m_engine(nSeed) {}
    std::uint64_t Next() { return m_engine(); }
    std::size_t Below(std::size_t n) { return static_cast<std::size_t>(m_engine() % n); }

private:
    std::mt19937_64 m_engine;
};

// Names made of pieces that collide in name order: ASCII case pairs, umlauts in both cases
// (which do not fold), characters that sort around the letters, control characters that the
// tree shows as "?" next to a real "?", and invalid UTF-8.
std::string HostileName(CRandom& rng) {
    static const char* const kPieces[] = {
        "a", "A",      "b",      "B",        "\xC3\xA4", "\xC3\x84", "_",  ".",  " ",
        "~", "?",      "\x01",   "\n",       "z",        "Z",        "1",  "10", "\xFF",
        "[", "readme", "README", "\xC3\xA9", "-",        "Ab",       "aB",
    };
    std::string s;
    const std::size_t nPieces = 1 + rng.Below(4);
    for (std::size_t i = 0; i < nPieces; ++i)
        s += kPieces[rng.Below(std::size(kPieces))];
    if (s == "." || s == "..")
        s += "x";
    return s;
}

struct SHostileCase {
    std::uint64_t nSeed;
    int nLevels;
    int nPerDir;
    std::size_t nDirsInTen; // of ten entries, about this many are directories
    int nLarge;
};

// A tree of c.nLevels with c.nPerDir entries per directory and one directory of c.nLarge
// files (large enough to be shared out in chunks): files of random sizes and times, links
// and subdirectories, all with hostile names.
void MakeHostileTree(CTempTree& tree, const std::string& strTop, const SHostileCase& c) {
    const auto [nSeed, nLevels, nPerDir, nDirsInTen, nLarge] = c;
    CRandom rng(nSeed);
    std::vector<std::pair<std::string, int>> dirs{{tree.AddDir(strTop), 0}};
    for (std::size_t d = 0; d < dirs.size(); ++d) {
        const auto [strDir, nLevel] = dirs[d];
        std::set<std::string> used;
        for (int i = 0; i < nPerDir; ++i) {
            std::string strName = HostileName(rng);
            if (!used.insert(strName).second)
                continue;
            const std::string strPath = strDir + "/" + strName;
            const std::size_t nKind = rng.Below(10);
            if (nKind < nDirsInTen && nLevel + 1 < nLevels) {
                ASSERT_EQ(mkdir(strPath.c_str(), 0755), 0) << strPath;
                dirs.emplace_back(strPath, nLevel + 1);
            } else if (nKind == 3) {
                ASSERT_EQ(symlink("../elsewhere", strPath.c_str()), 0) << strPath;
            } else {
                const int nFd = open(strPath.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
                ASSERT_GE(nFd, 0) << strPath;
                ASSERT_EQ(ftruncate(nFd, static_cast<off_t>(rng.Below(100000))), 0);
                close(nFd);
                const timespec times[2] = {{static_cast<time_t>(rng.Next() % 4'000'000'000), 0},
                                           {static_cast<time_t>(rng.Next() % 4'000'000'000), 0}};
                ASSERT_EQ(utimensat(AT_FDCWD, strPath.c_str(), times, AT_SYMLINK_NOFOLLOW), 0);
                if (rng.Below(8) == 0)
                    chmod(strPath.c_str(), 0444);
            }
        }
    }
    // Many names that are equal in name order, in one directory: enumeration order decides.
    const std::string strLarge = tree.AddDir(strTop + "/large");
    for (int i = 0; i < nLarge; ++i) {
        std::string strName = std::to_string(i % 97) +
                              (i % 3 == 0   ? "ab"
                               : i % 3 == 1 ? "AB"
                                            : "Ab") +
                              std::to_string(i / 97);
        const int nFd = open((strLarge + "/" + strName).c_str(), O_WRONLY | O_CREAT, 0644);
        ASSERT_GE(nFd, 0);
        close(nFd);
    }
}

TEST(ParallelScanTest, HostileTreesScanTheSameOnAnyNumberOfThreads) {
    const SHostileCase cases[] = {
        {1, 3, 40, 3, 6000}, // wide, with a directory shared out in chunks
        {2, 14, 8, 2, 0},    // deep and narrow
        {3, 4, 16, 3, 4100}, // just above the chunking threshold
    };
    for (const SHostileCase& c : cases) {
        SCOPED_TRACE("seed " + std::to_string(c.nSeed));
        CTempTree tree;
        MakeHostileTree(tree, "top", c);
        const SChildScan one(tree.Path("top"), 1);
        ASSERT_TRUE(one.bOpened);
        const std::string strOne = DescribeTree(one.pRoot);
        EXPECT_EQ(CheckCounts(one.pRoot), "");
        for (unsigned nThreads : {2u, 3u, 8u}) {
            SCOPED_TRACE(std::to_string(nThreads) + " threads");
            const SChildScan many(tree.Path("top"), nThreads);
            EXPECT_EQ(DescribeTree(many.pRoot), strOne);
            EXPECT_EQ(many.nEntries, one.nEntries);
            EXPECT_TRUE(many.errors.empty());
        }
    }
}

struct SPermissionArgs {
    std::string strRoot;
};

// As nobody, the permission fixtures give the same tree and the same records.
int CompareThreadsAsNobody(void* pArg) {
    const auto& args = *static_cast<SPermissionArgs*>(pArg);
    const SChildScan one(args.strRoot, 1);
    if (one.errors.size() != 5)
        return 10;
    for (unsigned nThreads : {2u, 4u}) {
        const SChildScan many(args.strRoot, nThreads);
        if (DescribeTree(many.pRoot) != DescribeTree(one.pRoot))
            return 11;
        if (many.errors != one.errors)
            return 12;
    }
    return 0;
}

TEST(ParallelScanTest, PermissionFixturesScanTheSameOnAnyNumberOfThreads) {
    CTempTree tree;
    for (const char* pszDir : {"locked", "noread", "nosearch", "open", "open/deeper/locked2"}) {
        for (int i = 0; i < 5; ++i)
            tree.AddFile(std::string("chosen/") + pszDir + "/f" + std::to_string(i), 3);
    }
    tree.AddDir("chosen/nosearch/inner");
    tree.SetMode("chosen/locked", 0000);
    tree.SetMode("chosen/noread", 0311);
    tree.SetMode("chosen/nosearch", 0644);
    tree.SetMode("chosen/open/deeper/locked2", 0000);
    SPermissionArgs args{tree.Path("chosen")};
    EXPECT_EQ(RunInChild([&] { return CompareThreadsAsNobody(&args); }, AsNobody()), 0);
}

TEST(ParallelScanTest, RescanOnSeveralThreadsConstructsNoNodes) {
    CTempTree tree;
    for (int i = 0; i < 6000; ++i)
        tree.AddFile("large/f" + std::to_string(i));
    for (int d = 0; d < 12; ++d)
        for (int i = 0; i < 30; ++i)
            tree.AddFile("d" + std::to_string(d) + "/sub/g" + std::to_string(i));
    CKWLOption option;
    option.m_bRecursive = true;
    CDirectoryScanner scanner(option);
    scanner.SetThreads(4);
    CItemTree scanned;
    ASSERT_TRUE(scanner.RebuildTree(scanned, tree.Root()));
    const std::set<const void*> first = NodesOf(scanned.Root());
    ASSERT_EQ(first.size(), 1u + 1 + 6000 + 12 * (2 + 30));
    ASSERT_TRUE(scanner.RebuildTree(scanned, tree.Root()));
    EXPECT_EQ(NodesOf(scanned.Root()), first);
    EXPECT_EQ(scanned.Factory().m_pFreeDirs, nullptr);
    EXPECT_EQ(scanned.Factory().m_pFreeFiles, nullptr);
}

std::size_t ThreadsOfThisProcess() {
    return CountEntries("/proc/self/task");
}

// Reads that wait (a cold disk, simulated by the fault shim) make the default scan start more
// threads than there are cores, so that more reads are under way at once; the tree stays
// the same. A thread count that was set is kept to.
TEST(ParallelScanTest, ReadsThatWaitForTheDiskGetMoreThreads) {
    CTempTree tree;
    for (int d = 0; d < 300; ++d)
        for (int i = 0; i < 16; ++i)
            tree.AddFile("d" + std::to_string(d) + "/f" + std::to_string(i));
    const SChildScan one(tree.Root(), 1);
    const std::size_t nCores = std::max(1u, std::thread::hardware_concurrency());
    setenv("KWL_TEST_SLOW_READ", "300", 1);
    for (unsigned nThreads : {0u, 2u}) {
        SCOPED_TRACE(nThreads == 0 ? "default" : "set to 2");
        CKWLOption option;
        option.m_bRecursive = true;
        CDirectoryScanner scanner(option);
        scanner.SetThreads(nThreads);
        const std::size_t nBefore = ThreadsOfThisProcess();
        std::size_t nMost = 0;
        scanner.SetProgress(
            [&](std::uint64_t) { nMost = std::max(nMost, ThreadsOfThisProcess() - nBefore + 1); },
            64);
        CItemTree scanned;
        ASSERT_TRUE(scanner.RebuildTree(scanned, tree.Root()));
        EXPECT_EQ(DescribeTree(scanned.Root()), DescribeTree(one.pRoot));
        if (nThreads == 0)
            EXPECT_GT(nMost, nCores);
        else
            EXPECT_LE(nMost, 2u);
    }
    unsetenv("KWL_TEST_SLOW_READ");
}

// ---- progress and cancel ----

class ParallelScanProgress : public ::testing::Test {
protected:
    ParallelScanProgress() {
        for (int i = 0; i < kLarge; ++i)
            m_tree.AddFile("large/f" + std::to_string(i));
        for (int d = 0; d < 20; ++d)
            for (int i = 0; i < 40; ++i)
                m_tree.AddFile("d" + std::to_string(d) + "/g" + std::to_string(i));
        m_option.m_bRecursive = true;
    }

    static constexpr int kLarge = 6000;
    static constexpr std::uint64_t kEntries = 1 + kLarge + 20 * (1 + 40);

    // A scanner on this fixture's factory, on nThreads threads, counting into *pProgress.
    CDirectoryScanner Scanner(unsigned nThreads, SWorkProgress* pProgress) {
        CDirectoryScanner scanner(m_option);
        scanner.SetThreads(nThreads);
        scanner.SetWorkProgress(pProgress);
        return scanner;
    }

    CDirInformation* Root() const { return m_scanned.Root(); }

    CTempTree m_tree;
    CItemTree m_scanned;
    CKWLOption m_option;
};

// Sets a variable of the fault shim (tests/support/FaultShim.cpp) for one scope.
class CSlowStatus {
public:
    explicit CSlowStatus(const char* pszMicroseconds) {
        setenv("KWL_TEST_SLOW_STAT", pszMicroseconds, 1);
    }
    ~CSlowStatus() { unsetenv("KWL_TEST_SLOW_STAT"); }
    CSlowStatus(const CSlowStatus&) = delete;
    CSlowStatus& operator=(const CSlowStatus&) = delete;
};

// Runs the scan of strPath on a thread of its own, as behind the desktop's progress
// window, while this thread watches the count: fnWatch(nDone) is called for every change
// it sees until the scan ends. Returns RebuildTree's result.
template <class WatchFn>
bool ScanWhileWatching(CDirectoryScanner& scanner, CItemTree& tree, const std::string& strPath,
                       const SWorkProgress& progress, WatchFn&& fnWatch) {
    std::atomic<bool> bDone{false};
    bool bOpened = false;
    std::thread worker([&] {
        bOpened = scanner.RebuildTree(tree, strPath);
        bDone = true;
    });
    std::uint64_t nSeen = 0;
    while (!bDone) {
        const std::uint64_t nDone = progress.nDone.load();
        if (nDone != nSeen)
            fnWatch(nSeen = nDone);
        std::this_thread::yield();
    }
    worker.join();
    return bOpened;
}

TEST_F(ParallelScanProgress, EveryThreadAddsWhatItReadsAlsoWithinOneLargeDirectory) {
    for (unsigned nThreads : {1u, 3u}) {
        SCOPED_TRACE(std::to_string(nThreads) + " threads");
        SWorkProgress progress;
        CDirectoryScanner scanner = Scanner(nThreads, &progress);
        std::set<std::thread::id> callers;
        scanner.SetProgress([&](std::uint64_t) { callers.insert(std::this_thread::get_id()); },
                            1000);
        // While the large directory is read (slowly, so that the watcher cannot miss a
        // step), the count grows in steps of at most a thousand or so per thread.
        std::set<std::uint64_t> partial;
        {
            const CSlowStatus slow("200");
            EXPECT_TRUE(ScanWhileWatching(scanner, m_scanned, m_tree.Path("large"), progress,
                                          [&](std::uint64_t n) {
                                              if (n < kLarge)
                                                  partial.insert(n);
                                          }));
        }
        EXPECT_FALSE(scanner.WasCancelled());
        EXPECT_EQ(progress.nDone.load(), static_cast<std::uint64_t>(kLarge));
        EXPECT_EQ(scanner.GetEntriesRead(), static_cast<std::uint64_t>(kLarge));
        EXPECT_GE(partial.size(), 3u);

        // The whole tree: every entry of every directory, whoever read it; the scan's own
        // callback only ever on the thread that scans.
        SWorkProgress whole;
        scanner.SetWorkProgress(&whole);
        callers.clear();
        ASSERT_TRUE(scanner.RebuildTree(m_scanned, m_tree.Root()));
        EXPECT_EQ(whole.nDone.load(), kEntries);
        EXPECT_EQ(scanner.GetEntriesRead(), kEntries);
        EXPECT_EQ(callers, std::set<std::thread::id>{std::this_thread::get_id()});
    }
}

// The scan's callback asks for cancel at the first entry, which the scanning thread reads
// itself before any other thread exists: nothing more is read, on any number of threads.
TEST_F(ParallelScanProgress, CancelFromTheCallbackStopsWithASoundTree) {
    for (unsigned nThreads : {1u, 2u, 4u}) {
        SCOPED_TRACE(std::to_string(nThreads) + " threads");
        SWorkProgress progress;
        CDirectoryScanner scanner = Scanner(nThreads, &progress);
        scanner.SetProgress([&](std::uint64_t) { progress.Cancel(); }, 1);
        ASSERT_TRUE(scanner.RebuildTree(m_scanned, m_tree.Root()));
        EXPECT_TRUE(scanner.WasCancelled());
        EXPECT_EQ(scanner.GetEntriesRead(), 1u);
        EXPECT_EQ(progress.nDone.load(), 1u);
        EXPECT_EQ(NodesOf(Root()).size(), 2u);
        EXPECT_EQ(CheckCounts(Root()), "");
        EXPECT_TRUE(scanner.GetScanErrors().empty());
    }
    // The same factory, after cancelled scans, still reads the whole tree.
    CDirectoryScanner scanner(m_option);
    ASSERT_TRUE(scanner.RebuildTree(m_scanned, m_tree.Root()));
    EXPECT_FALSE(scanner.WasCancelled());
    EXPECT_EQ(NodesOf(Root()).size(), 1 + kEntries);
}

// Cancel pressed on another thread while the large directory is read (slowly, so that the
// scan cannot be over before): every thread stops within the directory.
TEST_F(ParallelScanProgress, CancelFromAnotherThreadStopsInTheMiddleOfALargeDirectory) {
    for (unsigned nThreads : {1u, 3u}) {
        SCOPED_TRACE(std::to_string(nThreads) + " threads");
        SWorkProgress progress;
        CDirectoryScanner scanner = Scanner(nThreads, &progress);
        scanner.SetProgress([](std::uint64_t) {}, 100);
        const CSlowStatus slow("500");
        EXPECT_TRUE(ScanWhileWatching(scanner, m_scanned, m_tree.Path("large"), progress,
                                      [&](std::uint64_t n) {
                                          if (n >= 100)
                                              progress.Cancel();
                                      }));
        EXPECT_TRUE(scanner.WasCancelled());
        EXPECT_LT(scanner.GetEntriesRead(), static_cast<std::uint64_t>(kLarge) / 2);
        EXPECT_EQ(progress.nDone.load(), scanner.GetEntriesRead());
        EXPECT_EQ(NodesOf(Root()).size(), 1 + scanner.GetEntriesRead());
        EXPECT_EQ(CheckCounts(Root()), "");
    }
}

TEST_F(ParallelScanProgress, CancelledBeforeTheStartReadsNothing) {
    SWorkProgress progress;
    progress.Cancel();
    CDirectoryScanner scanner(m_option);
    scanner.SetWorkProgress(&progress);
    ASSERT_TRUE(scanner.RebuildTree(m_scanned, m_tree.Root()));
    EXPECT_TRUE(scanner.WasCancelled());
    EXPECT_EQ(scanner.GetEntriesRead(), 0u);
    EXPECT_TRUE(IsEmptyNode(Root()));
}

} // namespace

// ---- content hashes ----

// Every regular file gets the hash of its own bytes, whichever thread read it, also within a
// directory whose entries are shared out; links, directories and other entries get none, and
// the bytes hashed are counted.
TEST(ParallelScanTest, HashesBelongToTheirFilesOnAnyNumberOfThreads) {
    CTempTree tree;
    std::map<std::string, std::string> contents; // name -> bytes
    for (int i = 0; i < 5000; ++i) {
        const std::string strName = "f" + std::to_string(i);
        contents[strName] = strName + std::string(static_cast<std::size_t>(i % 97), 'z');
        ASSERT_TRUE(WriteFile(tree.AddFile("large/" + strName), contents[strName]));
    }
    contents["small"] = "small file";
    ASSERT_TRUE(WriteFile(tree.AddFile("d/small"), contents["small"]));
    tree.AddLink("d/link", "small");
    ASSERT_EQ(mkfifo(tree.Path("d/fifo").c_str(), 0644), 0);
    std::uint64_t nAllBytes = 0;
    for (const auto& [strName, strBytes] : contents)
        nAllBytes += strBytes.size();

    CKWLOption option;
    option.m_bRecursive = true;
    CContentHasher hasher(EHashAlgorithm::Sha256);
    for (unsigned nThreads : {1u, 4u}) {
        SCOPED_TRACE(std::to_string(nThreads) + " threads");
        CDirectoryScanner scanner(option);
        scanner.SetThreads(nThreads);
        scanner.SetHashAlgorithm(EHashAlgorithm::Sha256);
        CItemTree scanned;
        ASSERT_TRUE(scanner.RebuildTree(scanned, tree.Root()));
        EXPECT_TRUE(scanner.GetScanErrors().empty());
        EXPECT_EQ(scanned.HashAlgorithm(), EHashAlgorithm::Sha256);
        EXPECT_EQ(scanner.GetBytesHashed(), nAllBytes);
        std::size_t nHashed = 0;
        for (const CDirInformation* pDir = scanned.Root()->m_pFirstSubDir; pDir != nullptr;
             pDir = pDir->m_pNextDir) {
            for (const CFileInformation* p = pDir->m_pFirstFile; p != nullptr; p = p->m_pNextFile) {
                const std::string strName(p->m_strName);
                const SContentDigest* pHash = scanned.ContentHash(p);
                if (strName == "link" || strName == "fifo") {
                    EXPECT_EQ(pHash, nullptr) << strName;
                    continue;
                }
                ASSERT_NE(pHash, nullptr) << strName;
                EXPECT_EQ(*pHash, hasher.HashBytes(contents.at(strName))) << strName;
                ++nHashed;
            }
        }
        EXPECT_EQ(nHashed, contents.size());
    }
}
