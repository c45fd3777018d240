#include <gtest/gtest.h>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <iterator>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "TreeChecks.h"
#include "model/ItemTree.h"
#include "model/KWLItemFactory.h"
#include "model/KWLOption.h"
#include "scan/DirectoryScanner.h"
#include "platform/Time.h"
#include "support/Child.h"
#include "support/TempTree.h"

namespace fs = std::filesystem;

namespace {

// Control characters as the tree shows them; written out here rather than borrowed from
// the code under test.
std::string Clean(std::string str) {
    for (char& c : str) {
        const auto b = static_cast<unsigned char>(c);
        if ((b >= 0x01 && b <= 0x1F) || b == 0x7F)
            c = '?';
    }
    return str;
}

// The tree that one-by-one sorted insertion makes: entries in the order readdir gives them,
// each added with the tree's own Insert, subdirectories entered through the node Insert returns.
void BuildReference(CKWLItemFactory& factory, const std::string& strPath, CDirInformation* pNode,
                    bool bRecursive) {
    DIR* pDir = opendir(strPath.c_str());
    ASSERT_NE(pDir, nullptr) << strPath;
    while (const dirent* pEnt = readdir(pDir)) {
        const std::string strName = pEnt->d_name;
        if (strName == "." || strName == "..")
            continue;
        const std::string strFull = strPath + "/" + strName;
        struct stat st {};
        ASSERT_EQ(lstat(strFull.c_str(), &st), 0) << strFull;
        if (S_ISDIR(st.st_mode)) {
            CDirInformation* pSub = factory.NewDirectory();
            pSub->Set(Clean(strName), CTime(0), 0, 0);
            if (pNode->m_pFirstSubDir == nullptr)
                pNode->m_pFirstSubDir = pSub;
            else
                pSub = pNode->m_pFirstSubDir->Insert(pSub);
            if (bRecursive)
                BuildReference(factory, strFull, pSub, bRecursive);
        } else {
            CFileInformation* pFile = factory.NewFile();
            pFile->Set(static_cast<std::uint64_t>(st.st_size), Clean(strName), false, false, false,
                       false, false, CTime(0), CTime(0), CTime(0));
            pNode->Insert(pFile);
        }
    }
    closedir(pDir);
}

// The reference holds the names as shown; the scanned tree keeps them exact, in the order of
// the names as shown.
void ExpectSameTree(const CDirInformation* pActual, const CDirInformation* pExpected,
                    const std::string& strWhere) {
    SCOPED_TRACE("in " + strWhere);
    std::vector<std::pair<std::string, std::uint64_t>> actualFiles, expectedFiles;
    for (const CFileInformation* p = pActual->m_pFirstFile; p; p = p->m_pNextFile)
        actualFiles.emplace_back(Clean(p->m_strName), p->m_nSize);
    for (const CFileInformation* p = pExpected->m_pFirstFile; p; p = p->m_pNextFile)
        expectedFiles.emplace_back(p->m_strName, p->m_nSize);
    EXPECT_EQ(actualFiles, expectedFiles);
    EXPECT_EQ(pActual->m_nFileCount, pExpected->m_nFileCount);
    EXPECT_EQ(pActual->m_nTotalSize, pExpected->m_nTotalSize);

    std::vector<std::string> actualDirs, expectedDirs;
    for (const CDirInformation* p = pActual->m_pFirstSubDir; p; p = p->m_pNextDir)
        actualDirs.push_back(Clean(p->m_strName));
    for (const CDirInformation* p = pExpected->m_pFirstSubDir; p; p = p->m_pNextDir)
        expectedDirs.push_back(p->m_strName);
    ASSERT_EQ(actualDirs, expectedDirs);
    const CDirInformation* pA = pActual->m_pFirstSubDir;
    const CDirInformation* pE = pExpected->m_pFirstSubDir;
    for (; pA != nullptr; pA = pA->m_pNextDir, pE = pE->m_pNextDir)
        ExpectSameTree(pA, pE, strWhere + "/" + std::string(pA->m_strName));
}

std::string Canonical(const std::string& strPath) {
    return fs::canonical(strPath).string();
}

// Local time rendering in UTC for the test's duration.
class CUtcZone {
public:
    CUtcZone() {
        if (const char* psz = std::getenv("TZ")) {
            m_bHad = true;
            m_strOld = psz;
        }
        setenv("TZ", "UTC", 1);
        tzset();
    }
    ~CUtcZone() {
        if (m_bHad)
            setenv("TZ", m_strOld.c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }

private:
    bool m_bHad = false;
    std::string m_strOld;
};

class DirectoryScanTest : public ::testing::Test {
protected:
    bool Rebuild(const std::string& strPath, bool bRecursive = true) {
        m_option.m_bRecursive = bRecursive;
        CDirectoryScanner scanner(m_option);
        return scanner.RebuildTree(m_scanned, strPath);
    }
    CDirInformation* Root() const { return m_scanned.Root(); }

    CTempTree m_tree;
    CWorkingDirGuard m_guard; // restores the working directory before the tree goes
    CItemTree m_scanned;
    CKWLOption m_option;
};

// ---- order and structure ----

TEST_F(DirectoryScanTest, ListsEqualOneByOneSortedInsertion) {
    const std::vector<std::string> fileNames = {"README",
                                                "Readme",
                                                "readme",
                                                "README.md",
                                                "readme.MD",
                                                "a_b",
                                                "aB",
                                                "a.txt",
                                                "A.TXT",
                                                "a b",
                                                "a-b",
                                                "a~",
                                                "[x]",
                                                "_under",
                                                "10",
                                                "9",
                                                "0x",
                                                "\xC3\x84",
                                                "\xC3\xA4",
                                                "z",
                                                "Z",
                                                "\xC3\xA9"
                                                "clair",
                                                "\xE6\x97\xA5\xE6\x9C\xAC",
                                                "q\x01",
                                                "q?",
                                                "q\x7F",
                                                "Q?",
                                                "bad\xFF\xFE",
                                                "Bad\xFF",
                                                ".hidden",
                                                ".Hidden",
                                                "~tmp",
                                                "#x",
                                                "!",
                                                "a",
                                                "A0",
                                                "a0"};
    std::uint64_t nSize = 0;
    for (const std::string& s : fileNames)
        m_tree.AddFile("top/" + s, nSize++ % 5);
    // Many names equal but for case, so that the enumeration order decides among them.
    for (int i = 0; i < 120; ++i)
        for (const char* pszStem : {"file", "FILE", "File"})
            m_tree.AddFile("top/" + std::string(pszStem) + std::to_string(i), nSize++ % 7);
    const std::vector<std::string> dirNames = {"Sub",
                                               "sub",
                                               "SUB",
                                               "sub_x",
                                               "subA",
                                               "sub.a",
                                               "\xC3\x9C"
                                               "ber",
                                               "d\x01ir",
                                               "d?ir",
                                               "D?IR"};
    int n = 0;
    for (const std::string& s : dirNames) {
        m_tree.AddFile("top/" + s + "/in" + std::to_string(n), static_cast<std::uint64_t>(n));
        m_tree.AddFile("top/" + s + "/Readme", 1);
        m_tree.AddFile("top/" + s + "/README", 2);
        m_tree.AddDir("top/" + s + "/inner" + std::to_string(n++));
    }
    const std::string strTop = m_tree.Path("top");

    for (bool bRecursive : {true, false}) {
        SCOPED_TRACE(bRecursive ? "recursive" : "not recursive");
        ASSERT_TRUE(Rebuild(strTop, bRecursive));
        CKWLItemFactory refFactory;
        const CItemTree ref(refFactory);
        BuildReference(refFactory, strTop, ref.Root(), bRecursive);
        ref.Root()->ComputeTotals();
        ExpectSameTree(Root(), ref.Root(), "top");
    }
}

TEST_F(DirectoryScanTest, TotalsWithAndWithoutRecursion) {
    m_tree.AddFile("A/x", 3);
    m_tree.AddFile("A/B/y", 4);
    m_tree.AddFile("A/B/C/z", 5);
    m_tree.AddDir("A/E");

    ASSERT_TRUE(Rebuild(m_tree.Path("A"), true));
    EXPECT_EQ(Root()->m_strName, "");
    EXPECT_EQ(Root()->m_pNextDir, nullptr);
    EXPECT_EQ(FileNames(Root()), std::vector<std::string>{"x"});
    ASSERT_EQ(DirNames(Root()), (std::vector<std::string>{"B", "E"}));
    EXPECT_EQ(Root()->m_nTotalSize, 12u);
    EXPECT_EQ(Root()->m_nFileCount, 1);
    const CDirInformation* pB = FindDir(Root(), "B");
    EXPECT_EQ(pB->m_nTotalSize, 9u);
    EXPECT_EQ(pB->m_nFileCount, 1);
    EXPECT_EQ(FileNames(pB), std::vector<std::string>{"y"});
    ASSERT_EQ(DirNames(pB), std::vector<std::string>{"C"});
    EXPECT_EQ(pB->m_pFirstSubDir->m_nTotalSize, 5u);
    EXPECT_TRUE(IsEmptyNode(FindDir(Root(), "E")));

    ASSERT_TRUE(Rebuild(m_tree.Path("A"), false));
    EXPECT_EQ(FileNames(Root()), std::vector<std::string>{"x"});
    ASSERT_EQ(DirNames(Root()), (std::vector<std::string>{"B", "E"}));
    EXPECT_EQ(Root()->m_nTotalSize, 3u);
    EXPECT_EQ(Root()->m_nFileCount, 1);
    for (const CDirInformation* p = Root()->m_pFirstSubDir; p; p = p->m_pNextDir)
        EXPECT_TRUE(IsEmptyNode(p)) << p->m_strName;
}

TEST_F(DirectoryScanTest, SizesAndTotalsAreSixtyFourBit) {
    m_tree.AddSparseFile("big", 5'000'000'000u);
    m_tree.AddFile("small", 3);
    m_tree.AddSparseFile("sub/big2", 5'000'000'000u);
    ASSERT_TRUE(Rebuild(m_tree.Root()));
    const CFileInformation* pBig = FindFile(Root(), "big");
    ASSERT_NE(pBig, nullptr);
    EXPECT_EQ(pBig->m_nSize, 5'000'000'000u);
    EXPECT_EQ(FindDir(Root(), "sub")->m_nTotalSize, 5'000'000'000u);
    EXPECT_EQ(Root()->m_nTotalSize, 10'000'000'003u);
    EXPECT_EQ(Root()->m_nFileCount, 2);
}

TEST_F(DirectoryScanTest, TimesBeyondThirtyTwoBitsAndBefore1970) {
    struct SCase {
        const char* pszName;
        std::int64_t nAccess;
        std::int64_t nWrite;
        const char* pszWriteUtc;
    };
    const SCase cases[] = {
        {"y2100", 4102444801, 4102444800, "01.01.2100, 00:00:00"},
        {"y2038", 2147483647, 2147483648, "19.01.2038, 03:14:08"},
        {"before1970", 0, -86400, "31.12.1969, 00:00:00"},
    };
    const std::int64_t nStart = std::time(nullptr);
    for (const SCase& c : cases) {
        m_tree.AddFile(c.pszName, 1);
        m_tree.SetTimes(c.pszName, c.nAccess, c.nWrite);
    }
    m_tree.AddDir("dir");
    ASSERT_TRUE(Rebuild(m_tree.Root()));
    const std::int64_t nEnd = std::time(nullptr);

    CUtcZone utc;
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.pszName);
        const CFileInformation* p = FindFile(Root(), c.pszName);
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(p->m_timeLastAccess.GetTime(), c.nAccess);
        EXPECT_EQ(p->m_timeLastWrite.GetTime(), c.nWrite);
        EXPECT_EQ(FormatLocalTime(p->m_timeLastWrite.GetTime()), c.pszWriteUtc);
        // Birth time, or the status change that setting the times made: both during the test.
        EXPECT_GE(p->m_timeCreation.GetTime(), nStart - 1);
        EXPECT_LE(p->m_timeCreation.GetTime(), nEnd + 1);
    }
    const CDirInformation* pDir = FindDir(Root(), "dir");
    EXPECT_GE(pDir->m_timeCreation.GetTime(), nStart - 1);
    EXPECT_LE(pDir->m_timeCreation.GetTime(), nEnd + 1);
}

TEST_F(DirectoryScanTest, AttributesFromModeAndName) {
    struct SCase {
        const char* pszName;
        unsigned nMode;
        bool bReadOnly;
        bool bHidden;
    };
    const SCase cases[] = {
        {"plain", 0644, false, false},
        {"readonly", 0444, true, false},
        {"group_writable_only", 0464, true, false}, // only the owner's bit counts
        {"write_only", 0200, false, false},
        {".hidden", 0644, false, true},
        {".hidden_ro", 0400, true, true},
        {"not.hidden", 0644, false, false},
    };
    for (const SCase& c : cases) {
        m_tree.AddFile(c.pszName, 1);
        m_tree.SetMode(c.pszName, c.nMode);
    }
    ASSERT_TRUE(Rebuild(m_tree.Root()));
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.pszName);
        const CFileInformation* p = FindFile(Root(), c.pszName);
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(p->m_bReadOnly, c.bReadOnly);
        EXPECT_EQ(p->m_bHidden, c.bHidden);
        EXPECT_FALSE(p->m_bSystem);
        EXPECT_FALSE(p->m_bArchive);
        EXPECT_FALSE(p->m_bCompressed); // the test file system does not compress
    }
}

TEST_F(DirectoryScanTest, NamesStayExactControlCharactersAndInvalidUtf8Included) {
    // "a\nb" and "a\tb" look the same in a listing, but stay two names in the tree.
    const std::string files[] = {
        "a\nb", "a\tb", "a?b", "tab\there", "\x7F", "\x01start", "end\x1F", "cr\r",
        "esc\x1B[31m", "c1\xC2\x85", "ls\xE2\x80\xA8", "bad\xFF\xFE", "\xC3\x84rger", "lone\x80",
    };
    for (const std::string& strName : files)
        m_tree.AddFile(strName, 2);
    // Subdirectories are entered by the bytes on disk.
    m_tree.AddFile("dir\nname/inner", 5);
    m_tree.AddFile("dir\xFF/inner2", 6);

    ASSERT_TRUE(Rebuild(m_tree.Root()));
    for (const std::string& strName : files)
        EXPECT_NE(FindFile(Root(), strName), nullptr) << testing::PrintToString(strName);
    EXPECT_EQ(Root()->m_nFileCount, static_cast<int>(std::size(files)));
    const CDirInformation* pDir = FindDir(Root(), "dir\nname");
    ASSERT_NE(pDir, nullptr);
    EXPECT_EQ(FileNames(pDir), std::vector<std::string>{"inner"});
    const CDirInformation* pBad = FindDir(Root(), "dir\xFF");
    ASSERT_NE(pBad, nullptr);
    EXPECT_EQ(FileNames(pBad), std::vector<std::string>{"inner2"});
    EXPECT_EQ(Root()->m_nTotalSize, 2u * std::size(files) + 11);
}

TEST_F(DirectoryScanTest, LinksAreFilesAndNeverFollowed) {
    m_tree.AddFile("target.txt", 100);
    m_tree.AddFile("sub/real", 1);
    m_tree.AddLink("sub/loop", "..");
    m_tree.AddLink("sub/self", ".");
    m_tree.AddLink("filelink", "target.txt");
    m_tree.AddLink("dirlink", "sub");
    m_tree.AddLink("dangling", "does-not-exist");
    m_tree.AddLink(".hiddenlink", "target.txt");
    m_tree.SetTimes("filelink", 1000, 1000);
    m_tree.SetTimes("target.txt", 2000, 2000);

    ASSERT_TRUE(Rebuild(m_tree.Root()));
    EXPECT_EQ(FileNames(Root()), (std::vector<std::string>{".hiddenlink", "dangling", "dirlink",
                                                            "filelink", "target.txt"}));
    ASSERT_EQ(DirNames(Root()), std::vector<std::string>{"sub"});
    const CDirInformation* pSub = Root()->m_pFirstSubDir;
    EXPECT_EQ(FileNames(pSub), (std::vector<std::string>{"loop", "real", "self"}));
    EXPECT_EQ(pSub->m_pFirstSubDir, nullptr);

    // The link's own data: length of the target path, its own times.
    const CFileInformation* pLink = FindFile(Root(), "filelink");
    EXPECT_EQ(pLink->m_nSize, std::string("target.txt").size());
    EXPECT_EQ(pLink->m_timeLastWrite.GetTime(), 1000);
    EXPECT_EQ(FindFile(Root(), "dangling")->m_nSize, std::string("does-not-exist").size());
    EXPECT_TRUE(FindFile(Root(), ".hiddenlink")->m_bHidden);
    EXPECT_EQ(FindFile(pSub, "loop")->m_nSize, 2u);
    EXPECT_EQ(Root()->m_nTotalSize, 100u + 10 + 3 + 14 + 10 + 1 + 2 + 1);
}

TEST_F(DirectoryScanTest, NestedSubtreesLandInTheirOwnNodes) {
    // Each level: "a" with a file, "b" going deeper, "c" with a file: the scan returns from
    // every deeper level and must go on with the right node.
    constexpr int kDepth = 25;
    std::string strLevel;
    for (int i = 0; i < kDepth; ++i) {
        m_tree.AddFile(strLevel + "a/fa" + std::to_string(i), 1);
        m_tree.AddFile(strLevel + "c/fc" + std::to_string(i), 2);
        strLevel += "b/";
    }
    m_tree.AddFile(strLevel + "leaf", 100);
    ASSERT_TRUE(Rebuild(m_tree.Root()));
    const CDirInformation* p = Root();
    for (int i = 0; i < kDepth; ++i) {
        SCOPED_TRACE("level " + std::to_string(i));
        ASSERT_EQ(DirNames(p), (std::vector<std::string>{"a", "b", "c"}));
        EXPECT_EQ(p->m_nTotalSize, 100u + 3u * (kDepth - i));
        EXPECT_EQ(FileNames(FindDir(p, "a")), std::vector<std::string>{"fa" + std::to_string(i)});
        EXPECT_EQ(FileNames(FindDir(p, "c")), std::vector<std::string>{"fc" + std::to_string(i)});
        p = FindDir(p, "b");
    }
    EXPECT_EQ(FileNames(p), std::vector<std::string>{"leaf"});
}

// ---- permissions: the suite runs as root, who reads everything ----

struct SLockedArgs {
    std::string strRoot;
    std::string strStart; // the working directory of the scan, which it must keep
};

// The checks run in a child as nobody; each failed check has its own exit status.
int ScanLockedAsNobody(void* pArg) {
    const auto& args = *static_cast<SLockedArgs*>(pArg);
    if (chdir(args.strStart.c_str()) != 0)
        return 9;
    const SChildScan scan(args.strRoot);
    const CDirInformation* pRoot = scan.pRoot;
    if (!scan.bOpened)
        return 10;
    if (DirNames(pRoot) != std::vector<std::string>{"locked", "noread", "open"})
        return 11;
    if (!IsEmptyNode(FindDir(pRoot, "locked")))
        return 12;
    if (!IsEmptyNode(FindDir(pRoot, "noread")))
        return 13;
    if (FileNames(FindDir(pRoot, "open")) != std::vector<std::string>{"x"})
        return 14;
    if (pRoot->m_nTotalSize != 1 || FileNames(pRoot) != std::vector<std::string>{"top"})
        return 15;
    if (CurrentWorkingDir() != args.strStart)
        return 16;
    // Both are recorded, in listing order, with the reason.
    const std::vector<SScanError> expected = {{args.strRoot + "/locked", EACCES},
                                              {args.strRoot + "/noread", EACCES}};
    return scan.errors != expected ? 17 : 0;
}

int ScanUnreadableRootAsNobody(void* pArg) {
    const auto& args = *static_cast<SLockedArgs*>(pArg);
    if (chdir(args.strStart.c_str()) != 0)
        return 19;
    const SChildScan scan(args.strRoot);
    if (scan.bOpened)
        return 20;
    if (scan.pRoot == nullptr || !IsEmptyNode(scan.pRoot) || !scan.pRoot->m_strName.empty())
        return 21;
    if (!scan.errors.empty())
        return 23; // the failed open is the scan's result, not a directory inside it
    return CurrentWorkingDir() != args.strStart ? 22 : 0;
}

int ScanUnsearchableAsNobody(void* pArg) {
    const auto& args = *static_cast<SLockedArgs*>(pArg);
    const SChildScan scan(args.strRoot);
    if (!scan.bOpened)
        return 30;
    const CDirInformation* pNoSearch = FindDir(scan.pRoot, "nosearch");
    if (pNoSearch == nullptr)
        return 31;
    if (FileNames(pNoSearch) != std::vector<std::string>{"f1", "f2"})
        return 32; // names that can be read are listed, not dropped
    if (DirNames(pNoSearch) != std::vector<std::string>{"inner"} ||
        !IsEmptyNode(FindDir(pNoSearch, "inner")))
        return 33;
    if (pNoSearch->m_pFirstFile->m_nSize != 0 ||
        FormatLocalTime(pNoSearch->m_pFirstFile->m_timeLastWrite.GetTime()) !=
            "??.??.????, ??:??:??")
        return 34; // unknown data shows as unknown, not as 1970
    // Its entries could not be examined: recorded, though its names are listed; and its
    // subdirectory cannot be opened.
    const std::vector<SScanError> expected = {{args.strRoot + "/nosearch", EACCES},
                                              {args.strRoot + "/nosearch/inner", EACCES}};
    return scan.errors != expected ? 35 : 0;
}

TEST_F(DirectoryScanTest, UnreadableDirectoriesBecomeEmptyNodes) {
    m_tree.AddFile("chosen/top", 0);
    m_tree.AddFile("chosen/open/x", 1);
    m_tree.AddFile("chosen/locked/secret", 5);
    m_tree.AddFile("chosen/noread/secret", 5);
    m_tree.SetMode("chosen/locked", 0000);
    m_tree.SetMode("chosen/noread", 0311); // may be entered but not listed
    SLockedArgs args{m_tree.Path("chosen"), Canonical(m_tree.Root())};
    EXPECT_EQ(RunInChild([&] { return ScanLockedAsNobody(&args); }, AsNobody()), 0);
}

TEST_F(DirectoryScanTest, UnreadableChosenDirectoryGivesAnEmptyRoot) {
    m_tree.AddFile("chosen/x", 1);
    m_tree.SetMode("chosen", 0000);
    SLockedArgs args{m_tree.Path("chosen"), Canonical(m_tree.Root())};
    EXPECT_EQ(RunInChild([&] { return ScanUnreadableRootAsNobody(&args); }, AsNobody()), 0);
}

TEST_F(DirectoryScanTest, ListableButUnsearchableDirectoryKeepsItsNames) {
    m_tree.AddFile("chosen/nosearch/f2", 5);
    m_tree.AddFile("chosen/nosearch/f1", 5);
    m_tree.AddFile("chosen/nosearch/inner/deep", 5);
    m_tree.SetMode("chosen/nosearch", 0644); // may be listed but not entered
    SLockedArgs args{m_tree.Path("chosen"), Canonical(m_tree.Root())};
    EXPECT_EQ(RunInChild([&] { return ScanUnsearchableAsNobody(&args); }, AsNobody()), 0);
}

// ---- working directory and paths ----

// The threads of a process share one working directory: the scan never moves it, whatever
// the path is relative to and whether it can be read at all.
TEST_F(DirectoryScanTest, ScanLeavesTheWorkingDirectoryWhereItWas) {
    m_tree.AddFile("a/b/chosen/f", 1);
    m_tree.AddDir("elsewhere");
    const std::string strRoot = m_tree.Root();
    struct SCase {
        std::string strStart; // working directory before the scan
        std::string strPath;
        bool bOpens;
    };
    const SCase cases[] = {
        {"/", strRoot + "/a/b/chosen", true},
        {"/", strRoot + "/a/b/chosen/", true},
        {strRoot, "a/b/chosen", true},
        {strRoot, "a/b/chosen/", true},
        {strRoot, "./a//b/chosen", true},
        {strRoot + "/a/b", "chosen", true},
        {strRoot + "/a/b/chosen", ".", true},
        {strRoot + "/elsewhere", "../a/b/chosen", true},
        {strRoot + "/elsewhere", "../a/b/missing", false},
        {strRoot + "/a", "b/chosen/f", false},
    };
    for (const SCase& c : cases) {
        SCOPED_TRACE("from " + c.strStart + " scanning " + c.strPath);
        ASSERT_EQ(chdir(c.strStart.c_str()), 0);
        ASSERT_EQ(Rebuild(c.strPath), c.bOpens);
        EXPECT_EQ(FileNames(Root()),
                  c.bOpens ? std::vector<std::string>{"f"} : std::vector<std::string>{});
        EXPECT_EQ(Root()->m_strName, "");
        EXPECT_EQ(CurrentWorkingDir(), Canonical(c.strStart));
    }
}

TEST_F(DirectoryScanTest, EmptyPathScansNothingAndKeepsTheWorkingDirectory) {
    m_tree.AddFile("d/f", 1);
    ASSERT_TRUE(Rebuild(m_tree.Path("d")));
    CDirInformation* pOldRoot = Root();
    ASSERT_EQ(chdir(m_tree.Path("d").c_str()), 0);

    Rebuild("");
    EXPECT_EQ(CurrentWorkingDir(), Canonical(m_tree.Path("d")));
    ASSERT_NE(Root(), nullptr);
    EXPECT_EQ(Root(), pOldRoot); // the old tree went back to the factory
    EXPECT_TRUE(IsEmptyNode(Root()));
    EXPECT_EQ(Root()->m_strName, "");
}

TEST_F(DirectoryScanTest, PathThatIsNoDirectoryGivesFalseAndAnEmptyRoot) {
    m_tree.AddFile("d/f", 1);
    m_tree.AddFile("plainfile", 4);
    for (const std::string& strPath :
         {m_tree.Path("does-not-exist"), m_tree.Path("plainfile"), m_tree.Path("d/f/")}) {
        SCOPED_TRACE(strPath);
        ASSERT_TRUE(Rebuild(m_tree.Path("d")));
        EXPECT_FALSE(Rebuild(strPath));
        ASSERT_NE(Root(), nullptr);
        EXPECT_TRUE(IsEmptyNode(Root()));
        EXPECT_EQ(Root()->m_strName, "");
    }
}

// ---- nodes and progress ----

TEST_F(DirectoryScanTest, RescanOfTheSameTreeConstructsNoNodes) {
    for (int i = 0; i < 20; ++i)
        m_tree.AddFile("f" + std::to_string(i), 1);
    for (int i = 0; i < 5; ++i)
        m_tree.AddFile("d" + std::to_string(i) + "/g", 2);
    ASSERT_TRUE(Rebuild(m_tree.Root()));
    const std::set<const void*> first = NodesOf(Root());
    ASSERT_EQ(first.size(), 1u + 20 + 5 * 2);

    ASSERT_TRUE(Rebuild(m_tree.Root()));
    EXPECT_EQ(NodesOf(Root()), first);
    EXPECT_EQ(m_scanned.Factory().m_pFreeDirs, nullptr);
    EXPECT_EQ(m_scanned.Factory().m_pFreeFiles, nullptr);
    EXPECT_EQ(Root()->m_nTotalSize, 30u);
}

TEST_F(DirectoryScanTest, ProgressCountsEveryEntryRead) {
    for (int i = 0; i < 10; ++i)
        m_tree.AddFile("f" + std::to_string(i));
    m_tree.AddFile("d1/a");
    m_tree.AddFile("d1/d2/b");
    // Entries: 10 files + d1 + a + d2 + b.
    m_option.m_bRecursive = true;
    CDirectoryScanner scanner(m_option);
    std::vector<std::uint64_t> reports;
    scanner.SetProgress([&reports](std::uint64_t n) { reports.push_back(n); }, 3);
    ASSERT_TRUE(scanner.RebuildTree(m_scanned, m_tree.Root()));
    EXPECT_EQ(scanner.GetEntriesRead(), 14u);
    ASSERT_FALSE(reports.empty());
    EXPECT_EQ(reports.back(), 14u);
    EXPECT_TRUE(std::is_sorted(reports.begin(), reports.end()));
    // The root's 11 entries are one directory: it reports while it is read, not only after.
    EXPECT_NE(std::find(reports.begin(), reports.end(), 3u), reports.end());

    // A second scan counts from zero again.
    reports.clear();
    ASSERT_TRUE(scanner.RebuildTree(m_scanned, m_tree.Path("d1")));
    EXPECT_EQ(scanner.GetEntriesRead(), 3u);
    ASSERT_FALSE(reports.empty());
    EXPECT_EQ(reports.back(), 3u);
}

} // namespace
