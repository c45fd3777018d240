#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <set>
#include <string>
#include <vector>

#include "model/ItemTree.h"
#include "model/KWLItem.h"
#include "model/KWLItemFactory.h"
#include "model/NameOrder.h"

namespace {

std::vector<std::string> FileNames(const CDirInformation* pDir) {
    std::vector<std::string> names;
    for (const CFileInformation* p = pDir->m_pFirstFile; p != nullptr; p = p->m_pNextFile)
        names.push_back(p->m_strName);
    return names;
}

std::vector<std::string> ChainNames(const CDirInformation* pFirst) {
    std::vector<std::string> names;
    for (const CDirInformation* p = pFirst; p != nullptr; p = p->m_pNextDir)
        names.push_back(p->m_strName);
    return names;
}

std::size_t FreeDirCount(const CKWLItemFactory& factory) {
    std::size_t n = 0;
    for (const CDirInformation* p = factory.m_pFreeDirs; p != nullptr; p = p->m_pNextDir)
        ++n;
    return n;
}

std::size_t FreeFileCount(const CKWLItemFactory& factory) {
    std::size_t n = 0;
    for (const CFileInformation* p = factory.m_pFreeFiles; p != nullptr; p = p->m_pNextFile)
        ++n;
    return n;
}

CDirInformation* Find(CDirInformation* pParent, const std::string& strName) {
    for (CDirInformation* p = pParent->m_pFirstSubDir; p != nullptr; p = p->m_pNextDir)
        if (p->m_strName == strName)
            return p;
    return nullptr;
}

int Sign(int n) {
    return (n > 0) - (n < 0);
}

// A node of neither kind, which the tree must refuse.
class COtherItem : public CKWLItem {};

// Owns a factory and a root; hands the tree back before the factory deletes its free nodes.
class ItemTreeTest : public ::testing::Test {
protected:
    ~ItemTreeTest() override { m_factory.RecycleTree(m_pRoot); }

    CFileInformation* File(const std::string& strName, std::uint64_t nSize = 0) {
        CFileInformation* p = m_factory.NewFile();
        p->Set(nSize, strName, false, false, false, false, false, CTime(1), CTime(2), CTime(3));
        return p;
    }
    CDirInformation* Dir(const std::string& strName) {
        CDirInformation* p = m_factory.NewDirectory();
        p->Set(strName, CTime(7), 0, 0);
        return p;
    }
    // The scan's way of adding a subdirectory: an empty chain takes the node as its head.
    CDirInformation* AddDir(CDirInformation* pParent, const std::string& strName) {
        CDirInformation* p = Dir(strName);
        if (pParent->m_pFirstSubDir == nullptr) {
            pParent->m_pFirstSubDir = p;
            return p;
        }
        return pParent->m_pFirstSubDir->Insert(p);
    }

    CKWLItemFactory m_factory;
    CDirInformation* m_pRoot = m_factory.NewDirectory();
};

// ---- name order ----

struct SOrderCase {
    const char* pszLeft;
    const char* pszRight;
    int nSign; // expected sign of CompareNames(left, right)
};

TEST(ItemTreeNameOrder, ComparesFoldedBytesUnsignedWithPrefixFirst) {
    const SOrderCase cases[] = {
        {"README", "Readme", 0},
        {"readme", "README", 0},
        {"a_b", "aB", -1}, // '_' 0x5F < 'b' 0x62: folding goes to lower case
        {"[", "A", -1},    // '[' 0x5B < 'a' 0x61, though above 'A' 0x41
        {"a.txt", "a_b", -1},
        {"abc", "abcd", -1}, // prefix first
        {"", "a", -1},
        {"", "", 0},
        {"z", "\xC3\x84", -1}, // "Ä" in UTF-8: bytes compare unsigned
        {"Z", "\xC3\xA4", -1},
        {"\xC3\x84", "\xC3\xA4", -1}, // only ASCII letters fold
        {"\xC4", "\xE4", -1},
        {"\x7F", "\x80", -1},
        {"9", "10", 1}, // no numeric order
        {"File2", "file10", 1},
        {"a?b", "A?B", 0},
        {"bad\xFF", "bad\xFE", 1},
        {"IMG_20931234567.JPG", "img_20931234567.jpg", 0}, // longer than the sort prefix
        {"abcdefghijklmnopQ", "ABCDEFGHIJKLMNOPr", -1},     // decided at the 17th byte
        {"abcdefgh", "abcdefgh_", -1},
        {"abcdefgh\x7F", "abcdefgh\x80", -1},
    };
    for (const SOrderCase& c : cases) {
        SCOPED_TRACE(std::string(c.pszLeft) + " <=> " + c.pszRight);
        EXPECT_EQ(Sign(CompareNames(c.pszLeft, c.pszRight)), c.nSign);
        EXPECT_EQ(Sign(CompareNames(c.pszRight, c.pszLeft)), -c.nSign);
        // The scan sorts by the key's plain byte order; it must agree with the comparison.
        const std::string strL = NameSortKey(c.pszLeft), strR = NameSortKey(c.pszRight);
        EXPECT_EQ(Sign(strL.compare(strR)), c.nSign);
        // It sorts by the prefix numbers first: they tie or agree.
        const SNamePrefix keyL = NamePrefixKey(c.pszLeft), keyR = NamePrefixKey(c.pszRight);
        if (keyL != keyR) {
            EXPECT_EQ(keyL < keyR ? -1 : 1, c.nSign);
        }
    }
}

TEST(ItemTreeNameOrder, PrefixKeyIsTheFoldedKeyHeadAsNumbers) {
    // Every byte value at every place of the prefix, beside bytes that fold and bytes that
    // do not: bytes whose low seven bits are a capital letter (0xC1-0xDA) stay as they are.
    const auto Expected = [](std::string_view strName) {
        const std::string strKey = NameSortKey(strName);
        SNamePrefix key;
        for (std::size_t i = 0; i < 16 && i < strKey.size(); ++i) {
            std::uint64_t& nPart = i < 8 ? key.nHigh : key.nLow;
            nPart |= std::uint64_t{static_cast<unsigned char>(strKey[i])} << (56 - 8 * (i % 8));
        }
        return key;
    };
    for (const std::string_view strAround : {"Az\xDA@[`{\xC1Mq", "\x80\xFFZa0~_-"}) {
        for (std::size_t nLength = 0; nLength <= 17; ++nLength) {
            for (std::size_t nPlace = 0; nPlace < nLength; ++nPlace) {
                for (int b = 1; b < 256; ++b) {
                    std::string strName;
                    for (std::size_t i = 0; i < nLength; ++i)
                        strName += strAround[i % strAround.size()];
                    strName[nPlace] = static_cast<char>(b);
                    const SNamePrefix key = NamePrefixKey(strName);
                    const SNamePrefix expected = Expected(strName);
                    ASSERT_TRUE(key == expected) << "byte " << b << " at " << nPlace << " of "
                                                 << nLength;
                }
            }
        }
    }
}

// ---- file lists ----

TEST_F(ItemTreeTest, FirstFileBecomesHeadAndIsCounted) {
    CFileInformation* pFile = File("only", 42);
    EXPECT_EQ(m_pRoot->Insert(pFile), nullptr);
    EXPECT_EQ(m_pRoot->m_pFirstFile, pFile);
    EXPECT_EQ(m_pRoot->m_nFileCount, 1);
    EXPECT_EQ(m_pRoot->m_nTotalSize, 42u);
    EXPECT_EQ(pFile->m_pNextFile, nullptr);
}

TEST_F(ItemTreeTest, FileSortingFirstSwapsIntoTheHeadNode) {
    CFileInformation* pBeta = File("beta", 2);
    CFileInformation* pAlpha = File("Alpha", 1);
    pAlpha->m_bReadOnly = true;
    m_pRoot->Insert(pBeta);
    m_pRoot->Insert(pAlpha);

    ASSERT_EQ(m_pRoot->m_pFirstFile, pBeta); // the head node never changes...
    EXPECT_EQ(pBeta->m_strName, "Alpha");    // ...it now holds the new file's data
    EXPECT_EQ(pBeta->m_nSize, 1u);
    EXPECT_TRUE(pBeta->m_bReadOnly);
    ASSERT_EQ(pBeta->m_pNextFile, pAlpha); // and the node made for Alpha holds beta
    EXPECT_EQ(pAlpha->m_strName, "beta");
    EXPECT_EQ(pAlpha->m_nSize, 2u);
    EXPECT_FALSE(pAlpha->m_bReadOnly);
    EXPECT_EQ(pAlpha->m_pNextFile, nullptr);
    EXPECT_EQ(m_pRoot->m_nFileCount, 2);
    EXPECT_EQ(m_pRoot->m_nTotalSize, 3u);
}

TEST_F(ItemTreeTest, EqualNamesKeepInsertionOrder) {
    // Sizes tell the equal names apart.
    const std::vector<std::pair<std::string, std::uint64_t>> inserted = {
        {"README", 1}, {"b", 2}, {"Readme", 3}, {"a", 4}, {"readme", 5}, {"README", 6}};
    for (const auto& [strName, nSize] : inserted)
        m_pRoot->Insert(File(strName, nSize));

    std::vector<std::pair<std::string, std::uint64_t>> listed;
    for (CFileInformation* p = m_pRoot->m_pFirstFile; p != nullptr; p = p->m_pNextFile)
        listed.emplace_back(p->m_strName, p->m_nSize);
    const std::vector<std::pair<std::string, std::uint64_t>> expected = {
        {"a", 4}, {"b", 2}, {"README", 1}, {"Readme", 3}, {"readme", 5}, {"README", 6}};
    EXPECT_EQ(listed, expected);
}

TEST_F(ItemTreeTest, InsertingInAnyOrderGivesTheStableNameOrder) {
    std::vector<std::string> names = {
        "README", "zeta", "Readme", "a_b", "aB",  "a.txt",   "A.TXT", "\xC3\x84pfel", "z",
        "readme", "10",   "9",      "_x",  "[y]", "abc",     "ab",    "\xE6\x97\xA5", "~",
        "Zeta",   "a",    "A",      "b-c", "b c", "bad\xFF", "\x7F",  "a?b",          "B"};
    // Several insertion orders, each a deterministic shuffle.
    for (unsigned nSeed = 1; nSeed <= 5; ++nSeed) {
        std::vector<std::string> order = names;
        unsigned nState = nSeed;
        for (std::size_t i = order.size(); i > 1; --i) {
            nState = nState * 1103515245u + 12345u;
            std::swap(order[i - 1], order[(nState >> 16) % i]);
        }
        CDirInformation* pDir = m_factory.NewDirectory();
        for (const std::string& s : order)
            pDir->Insert(File(s));
        std::vector<std::string> expected = order;
        // DEL sorts as the "?" it is shown as.
        std::stable_sort(expected.begin(), expected.end(), [](const auto& l, const auto& r) {
            return CompareNames(l == "\x7F" ? "?" : l, r == "\x7F" ? "?" : r) < 0;
        });
        EXPECT_EQ(FileNames(pDir), expected) << "seed " << nSeed;
        EXPECT_EQ(pDir->m_nFileCount, static_cast<int>(names.size()));
        m_factory.RecycleTree(pDir);
    }
}

TEST_F(ItemTreeTest, FileTotalsAreSixtyFourBit) {
    m_pRoot->Insert(File("a", 3'000'000'000u));
    m_pRoot->Insert(File("b", 3'000'000'000u));
    m_pRoot->Insert(File("c", 5'000'000'000u));
    EXPECT_EQ(m_pRoot->m_nTotalSize, 11'000'000'000u);
    EXPECT_EQ(m_pRoot->m_nFileCount, 3);
}

TEST_F(ItemTreeTest, InsertSortedOnAChainAndForeignKindsIgnored) {
    CFileInformation* pHead = File("m");
    pHead->InsertSorted(File("z"));
    pHead->InsertSorted(File("a"));
    CDirInformation* pDir = Dir("b");
    COtherItem other;
    pHead->InsertSorted(pDir);
    pHead->InsertSorted(&other);
    pHead->InsertSorted(nullptr);
    m_pRoot->m_pFirstFile = pHead;
    EXPECT_EQ(FileNames(m_pRoot), (std::vector<std::string>{"a", "m", "z"}));
    m_factory.RecycleTree(pDir);

    EXPECT_EQ(m_pRoot->Insert(&other), nullptr);
    EXPECT_EQ(m_pRoot->Insert(nullptr), nullptr);
    EXPECT_EQ(m_pRoot->m_nFileCount, 0); // InsertSorted does not count; Insert refused the rest
    EXPECT_EQ(FileNames(m_pRoot), (std::vector<std::string>{"a", "m", "z"}));
}

// ---- directory chains ----

TEST_F(ItemTreeTest, DirectoryInsertReturnsTheNodeHoldingTheNewData) {
    CDirInformation* pHead = AddDir(m_pRoot, "m");
    // After every sibling: the node just made; before the head: the head node itself.
    CDirInformation* pZ = Dir("z");
    EXPECT_EQ(pHead->Insert(pZ), pZ);
    CDirInformation* pA = Dir("a");
    EXPECT_EQ(pHead->Insert(pA), pHead);
    EXPECT_EQ(pHead->m_strName, "a");
    EXPECT_EQ(pHead->m_pNextDir, pA);
    EXPECT_EQ(pA->m_strName, "m");

    // In every case the result holds the inserted name and is a member of the chain.
    for (const char* pszName : {"p", "b", "zz", "A", "M", "0", "n"}) {
        CDirInformation* pResult = pHead->Insert(Dir(pszName));
        ASSERT_NE(pResult, nullptr);
        EXPECT_EQ(pResult->m_strName, pszName);
        bool bInChain = false;
        for (CDirInformation* p = pHead; p != nullptr; p = p->m_pNextDir)
            bInChain = bInChain || p == pResult;
        EXPECT_TRUE(bInChain) << pszName;
    }
    EXPECT_EQ(ChainNames(m_pRoot->m_pFirstSubDir),
              (std::vector<std::string>{"0", "a", "A", "b", "m", "M", "n", "p", "z", "zz"}));
}

TEST_F(ItemTreeTest, FilledDirectoryKeepsItsSubtreeWhenMovedBack) {
    CDirInformation* pM = AddDir(m_pRoot, "m");
    pM->m_timeCreation = CTime(1234);
    pM->Insert(File("f1", 4));
    pM->Insert(File("f2", 6));
    CDirInformation* pInner = AddDir(pM, "inner");
    pInner->Insert(File("deep", 1));
    CDirInformation* pZ = AddDir(m_pRoot, "z");
    pZ->Insert(File("zf", 9));

    CDirInformation* pHead = m_pRoot->m_pFirstSubDir;
    ASSERT_EQ(AddDir(m_pRoot, "a"), pHead);
    EXPECT_EQ(ChainNames(pHead), (std::vector<std::string>{"a", "m", "z"}));
    EXPECT_EQ(pHead->m_pFirstFile, nullptr);
    EXPECT_EQ(pHead->m_pFirstSubDir, nullptr);
    EXPECT_EQ(pHead->m_nFileCount, 0);
    EXPECT_EQ(pHead->m_nTotalSize, 0u);
    EXPECT_EQ(pHead->m_timeCreation, CTime(7));

    CDirInformation* pMoved = pHead->m_pNextDir;
    EXPECT_EQ(pMoved->m_strName, "m");
    EXPECT_EQ(pMoved->m_timeCreation, CTime(1234));
    EXPECT_EQ(FileNames(pMoved), (std::vector<std::string>{"f1", "f2"}));
    EXPECT_EQ(pMoved->m_nFileCount, 2);
    EXPECT_EQ(pMoved->m_nTotalSize, 10u);
    ASSERT_EQ(pMoved->m_pFirstSubDir, pInner);
    EXPECT_EQ(FileNames(pInner), (std::vector<std::string>{"deep"}));
    ASSERT_EQ(pMoved->m_pNextDir, pZ);
    EXPECT_EQ(FileNames(pZ), (std::vector<std::string>{"zf"}));
}

TEST_F(ItemTreeTest, SwapContentsExchangesAllDataButNotFileLinks) {
    CFileInformation* pF1 = File("one", 1);
    CFileInformation* pF2 = File("two", 2);
    pF1->Set(1, "one", true, false, true, false, true, CTime(10), CTime(11), CTime(12));
    pF2->Set(2, "two", false, true, false, true, false, CTime(20), CTime(21), CTime(22));
    CFileInformation* pNext = File("next");
    pF1->m_pNextFile = pNext;
    pF1->SwapContents(pF2);
    EXPECT_EQ(pF1->m_nSize, 2u);
    EXPECT_EQ(pF1->m_strName, "two");
    EXPECT_EQ(pF1->m_timeCreation, CTime(20));
    EXPECT_EQ(pF1->m_timeLastAccess, CTime(21));
    EXPECT_EQ(pF1->m_timeLastWrite, CTime(22));
    EXPECT_EQ(std::vector<bool>({pF1->m_bReadOnly, pF1->m_bCompressed, pF1->m_bSystem,
                                 pF1->m_bHidden, pF1->m_bArchive}),
              std::vector<bool>({false, true, false, true, false}));
    EXPECT_EQ(pF2->m_strName, "one");
    EXPECT_EQ(pF2->m_timeLastWrite, CTime(12));
    EXPECT_EQ(std::vector<bool>({pF2->m_bReadOnly, pF2->m_bCompressed, pF2->m_bSystem,
                                 pF2->m_bHidden, pF2->m_bArchive}),
              std::vector<bool>({true, false, true, false, true}));
    EXPECT_EQ(pF1->m_pNextFile, pNext);
    EXPECT_EQ(pF2->m_pNextFile, nullptr);

    pF1->SwapContents(nullptr);
    EXPECT_EQ(pF1->m_strName, "two");
    m_factory.RecycleFiles(pF1); // pF1 -> pNext
    m_factory.RecycleFiles(pF2);

    CDirInformation* pD1 = Dir("d1");
    CDirInformation* pD2 = Dir("d2");
    pD1->Set("d1", CTime(5), 50, 3);
    pD1->m_pFirstFile = File("x");
    pD1->m_pFirstSubDir = Dir("sub");
    pD1->m_pNextDir = Dir("sibling");
    CFileInformation* pFile = pD1->m_pFirstFile;
    CDirInformation* pSub = pD1->m_pFirstSubDir;
    CDirInformation* pSibling = pD1->m_pNextDir;
    pD1->SwapContents(pD2);
    EXPECT_EQ(pD2->m_strName, "d1");
    EXPECT_EQ(pD2->m_timeCreation, CTime(5));
    EXPECT_EQ(pD2->m_nTotalSize, 50u);
    EXPECT_EQ(pD2->m_nFileCount, 3);
    EXPECT_EQ(pD2->m_pFirstFile, pFile);
    EXPECT_EQ(pD2->m_pFirstSubDir, pSub);
    EXPECT_EQ(pD2->m_pNextDir, pSibling);
    EXPECT_EQ(pD1->m_strName, "d2");
    EXPECT_EQ(pD1->m_pFirstFile, nullptr);
    EXPECT_EQ(pD1->m_pFirstSubDir, nullptr);
    EXPECT_EQ(pD1->m_pNextDir, nullptr);

    pD2->SwapContents(nullptr);
    EXPECT_EQ(pD2->m_strName, "d1");
    EXPECT_EQ(pD2->m_pFirstSubDir, pSub);
    m_factory.RecycleTree(pD1);
    m_factory.RecycleTree(pD2);
}

// ---- totals ----

TEST_F(ItemTreeTest, ComputeTotalsAddsWholeSubtreesButKeepsDirectCounts) {
    // root: a (10 bytes), sub/ { b (5 bytes), deeper/ { c (7 bytes) } }, empty/
    m_pRoot->Insert(File("a", 10));
    CDirInformation* pSub = AddDir(m_pRoot, "sub");
    pSub->Insert(File("b", 5));
    CDirInformation* pDeeper = AddDir(pSub, "deeper");
    pDeeper->Insert(File("c", 7));
    AddDir(m_pRoot, "empty"); // sorts first: "sub" moves into the node made for "empty"
    pSub = Find(m_pRoot, "sub");
    CDirInformation* pEmpty = Find(m_pRoot, "empty");
    ASSERT_EQ(pSub->m_pFirstSubDir, pDeeper);

    EXPECT_EQ(m_pRoot->ComputeTotals(), 22u);
    EXPECT_EQ(m_pRoot->m_nTotalSize, 22u);
    EXPECT_EQ(m_pRoot->m_nFileCount, 1);
    EXPECT_EQ(pSub->m_nTotalSize, 12u);
    EXPECT_EQ(pSub->m_nFileCount, 1);
    EXPECT_EQ(pDeeper->m_nTotalSize, 7u);
    EXPECT_EQ(pEmpty->m_nTotalSize, 0u);
    EXPECT_EQ(pEmpty->m_nFileCount, 0);
}

TEST_F(ItemTreeTest, ComputeTotalsOfAShallowTreeIsTheRootsOwnFiles) {
    // What a scan without the recursive option leaves: empty subdirectory nodes.
    m_pRoot->Insert(File("a", 3));
    m_pRoot->Insert(File("b", 4));
    AddDir(m_pRoot, "x");
    AddDir(m_pRoot, "y");
    EXPECT_EQ(m_pRoot->ComputeTotals(), 7u);
    EXPECT_EQ(m_pRoot->m_nFileCount, 2);
    for (CDirInformation* p = m_pRoot->m_pFirstSubDir; p != nullptr; p = p->m_pNextDir) {
        EXPECT_EQ(p->m_nTotalSize, 0u);
        EXPECT_EQ(p->m_nFileCount, 0);
    }
}

TEST_F(ItemTreeTest, ComputeTotalsCoversSubdirectoriesNotOwnSiblings) {
    CDirInformation* pA = AddDir(m_pRoot, "a");
    CDirInformation* pB = AddDir(m_pRoot, "b");
    pA->Insert(File("f", 2));
    AddDir(pA, "inner")->Insert(File("g", 3));
    pB->Insert(File("h", 100));
    EXPECT_EQ(pA->ComputeTotals(), 5u);
    EXPECT_EQ(pB->m_nTotalSize, 100u);
}

TEST_F(ItemTreeTest, ComputeTotalsAddsBeyondThirtyTwoBits) {
    m_pRoot->Insert(File("big", 4'294'967'295u));
    AddDir(m_pRoot, "sub")->Insert(File("more", 4'294'967'297u));
    EXPECT_EQ(m_pRoot->ComputeTotals(), 8'589'934'592u);
}

// A total that would pass 2^64 - 1 stays there: a wrapped total would show a small number.
TEST_F(ItemTreeTest, TotalsStopAtTheLargestNumberInsteadOfWrapping) {
    constexpr std::uint64_t kHuge = INT64_MAX; // the largest file length there can be
    CDirInformation* pThree = AddDir(m_pRoot, "three");
    for (const char* psz : {"a", "b", "c"})
        pThree->Insert(File(psz, kHuge));
    EXPECT_EQ(pThree->m_nTotalSize, UINT64_MAX);
    EXPECT_EQ(pThree->m_nFileCount, 3);
    CDirInformation* pTwo = AddDir(m_pRoot, "two");
    pTwo->Insert(File("a", kHuge));
    pTwo->Insert(File("b", kHuge));
    m_pRoot->Insert(File("one", 1));
    EXPECT_EQ(m_pRoot->ComputeTotals(), UINT64_MAX);
    EXPECT_EQ(pTwo->m_nTotalSize, 2 * kHuge); // still fits
    EXPECT_EQ(AddSaturated(UINT64_MAX - 1, 1), UINT64_MAX);
    EXPECT_EQ(AddSaturated(UINT64_MAX, UINT64_MAX), UINT64_MAX);
    EXPECT_EQ(AddSaturated(5, 7), 12u);
}

// ---- factory ----

TEST_F(ItemTreeTest, NullArgumentsChangeNothing) {
    m_factory.RecycleTree(m_factory.NewDirectory());
    m_factory.RecycleFiles(File("f"));
    CDirInformation* pFreeDirs = m_factory.m_pFreeDirs;
    CFileInformation* pFreeFiles = m_factory.m_pFreeFiles;
    m_factory.RecycleTree(nullptr);
    m_factory.RecycleFiles(nullptr);
    EXPECT_EQ(m_factory.m_pFreeDirs, pFreeDirs);
    EXPECT_EQ(m_factory.m_pFreeFiles, pFreeFiles);
    EXPECT_EQ(FreeDirCount(m_factory), 1u);
    EXPECT_EQ(FreeFileCount(m_factory), 1u);
}

TEST_F(ItemTreeTest, RecycledRootComesBackFirstAndReset) {
    m_pRoot->Set("root", CTime(99), 0, 0);
    m_pRoot->Insert(File("f", 10));
    CDirInformation* pA = AddDir(m_pRoot, "A");
    CDirInformation* pB = AddDir(m_pRoot, "B");
    CDirInformation* pA1 = AddDir(pA, "A1");
    pA1->Insert(File("g", 3));
    m_pRoot->ComputeTotals();

    CDirInformation* pOldRoot = m_pRoot;
    const std::int64_t nBefore = std::time(nullptr);
    m_factory.RecycleTree(m_pRoot);
    const std::int64_t nAfter = std::time(nullptr);
    m_pRoot = nullptr;
    EXPECT_EQ(FreeDirCount(m_factory), 4u);
    EXPECT_EQ(FreeFileCount(m_factory), 2u);

    // Directories return last-recycled first: the root, then its subtree in post-order reversed.
    CDirInformation* pTaken[4];
    for (CDirInformation*& p : pTaken)
        p = m_factory.NewDirectory();
    EXPECT_EQ(pTaken[0], pOldRoot);
    EXPECT_EQ(pTaken[1], pA);
    EXPECT_EQ(pTaken[2], pB);
    EXPECT_EQ(pTaken[3], pA1);
    for (CDirInformation* p : pTaken) {
        EXPECT_EQ(p->m_strName, "");
        EXPECT_EQ(p->m_nTotalSize, 0u);
        EXPECT_EQ(p->m_nFileCount, 0);
        EXPECT_EQ(p->m_pFirstFile, nullptr);
        EXPECT_EQ(p->m_pFirstSubDir, nullptr);
        EXPECT_EQ(p->m_pNextDir, nullptr);
        EXPECT_GE(p->m_timeCreation.GetTime(), nBefore);
        EXPECT_LE(p->m_timeCreation.GetTime(), nAfter);
    }
    EXPECT_EQ(FreeDirCount(m_factory), 0u);
    m_pRoot = pTaken[0];
    for (int i = 1; i < 4; ++i)
        m_factory.RecycleTree(pTaken[i]);
}

TEST_F(ItemTreeTest, RecycledFileHasTheTimesOfItsRecycling) {
    CFileInformation* pFiles[3];
    for (CFileInformation*& pFile : pFiles) {
        pFile = m_factory.NewFile();
        pFile->Set(77, "old", true, true, true, true, true, CTime(0), CTime(0), CTime(0));
        m_pRoot->Insert(pFile);
    }
    const std::int64_t nBefore = std::time(nullptr);
    m_factory.RecycleTree(m_pRoot);
    const std::int64_t nAfter = std::time(nullptr);
    m_pRoot = m_factory.NewDirectory();

    std::set<CFileInformation*> recycled(std::begin(pFiles), std::end(pFiles));
    for (int i = 0; i < 3; ++i) {
        CFileInformation* pTaken = m_factory.NewFile();
        EXPECT_EQ(recycled.erase(pTaken), 1u);
        ASSERT_EQ(pTaken->m_pNextFile, nullptr); // taken off the free list whole
        EXPECT_EQ(pTaken->m_nSize, 0u);
        EXPECT_EQ(pTaken->m_strName, "");
        for (CTime t :
             {pTaken->m_timeCreation, pTaken->m_timeLastAccess, pTaken->m_timeLastWrite}) {
            EXPECT_GE(t.GetTime(), nBefore);
            EXPECT_LE(t.GetTime(), nAfter);
        }
        EXPECT_FALSE(pTaken->m_bReadOnly || pTaken->m_bCompressed || pTaken->m_bSystem ||
                     pTaken->m_bHidden || pTaken->m_bArchive);
        m_pRoot->Insert(pTaken);
    }
}

TEST_F(ItemTreeTest, RebuildingTheSameSizeReusesEveryNode) {
    const auto build = [this](CDirInformation* pRoot) {
        for (int d = 0; d < 5; ++d) {
            CDirInformation* pDir = AddDir(pRoot, "d" + std::to_string(d));
            for (int f = 0; f < 7; ++f)
                pDir->Insert(File("f" + std::to_string(f), 1));
            AddDir(pDir, "inner")->Insert(File("x"));
        }
        pRoot->Insert(File("top"));
    };
    const auto collect = [](CDirInformation* pRoot, std::set<const void*>& nodes) {
        std::vector<CDirInformation*> stack{pRoot};
        while (!stack.empty()) {
            CDirInformation* p = stack.back();
            stack.pop_back();
            nodes.insert(p);
            for (CFileInformation* f = p->m_pFirstFile; f != nullptr; f = f->m_pNextFile)
                nodes.insert(f);
            for (CDirInformation* s = p->m_pFirstSubDir; s != nullptr; s = s->m_pNextDir)
                stack.push_back(s);
        }
    };
    build(m_pRoot);
    std::set<const void*> first;
    collect(m_pRoot, first);
    ASSERT_EQ(first.size(), 1u + 5 * (1 + 7 + 1 + 1) + 1);

    m_factory.RecycleTree(m_pRoot);
    m_pRoot = m_factory.NewDirectory();
    build(m_pRoot);
    std::set<const void*> second;
    collect(m_pRoot, second);
    EXPECT_EQ(second, first);
    EXPECT_EQ(m_factory.m_pFreeDirs, nullptr);
    EXPECT_EQ(m_factory.m_pFreeFiles, nullptr);

    // Only a larger tree constructs new nodes.
    CFileInformation* pExtra = m_factory.NewFile();
    EXPECT_EQ(first.count(pExtra), 0u);
    m_factory.RecycleFiles(pExtra);
}

// ---- size of the tree: nothing may depend on the call stack ----

TEST_F(ItemTreeTest, MillionSiblingsAndMillionFiles) {
    constexpr int kCount = 1'000'000;
    char szName[16];
    // Linked directly in order: a million Inserts would walk the chain quadratically.
    CDirInformation* pLastDir = nullptr;
    CFileInformation* pLastFile = nullptr;
    for (int i = 0; i < kCount; ++i) {
        std::snprintf(szName, sizeof szName, "n%07d", i);
        CDirInformation* pDir = m_factory.NewDirectory();
        pDir->Set(szName, CTime(0), 1, 0);
        (pLastDir ? pLastDir->m_pNextDir : m_pRoot->m_pFirstSubDir) = pDir;
        pLastDir = pDir;
        CFileInformation* pFile = m_factory.NewFile();
        pFile->Set(2, szName, false, false, false, false, false, CTime(0), CTime(0), CTime(0));
        (pLastFile ? pLastFile->m_pNextFile : m_pRoot->m_pFirstFile) = pFile;
        pLastFile = pFile;
    }
    m_pRoot->m_nFileCount = kCount;
    m_pRoot->m_nTotalSize = 2u * kCount;

    // One insertion at the end of each list walks all of it.
    CDirInformation* pNewDir = Dir("zzz");
    EXPECT_EQ(m_pRoot->m_pFirstSubDir->Insert(pNewDir), pNewDir);
    EXPECT_EQ(pLastDir->m_pNextDir, pNewDir);
    m_pRoot->Insert(File("zzz", 5));
    ASSERT_NE(pLastFile->m_pNextFile, nullptr);
    EXPECT_EQ(pLastFile->m_pNextFile->m_strName, "zzz");
    EXPECT_EQ(m_pRoot->m_nFileCount, kCount + 1);

    EXPECT_EQ(m_pRoot->ComputeTotals(), 2u * kCount + 5 + kCount);

    m_factory.RecycleTree(m_pRoot);
    m_pRoot = nullptr;
    EXPECT_EQ(FreeDirCount(m_factory), kCount + 2u);
    EXPECT_EQ(FreeFileCount(m_factory), kCount + 1u);
}

TEST_F(ItemTreeTest, HundredThousandLevelsDeep) {
    constexpr int kDepth = 100'000;
    CDirInformation* pCur = m_pRoot;
    for (int i = 0; i < kDepth; ++i) {
        pCur->Insert(File("f", 1));
        CDirInformation* pChild = Dir("d");
        pCur->m_pFirstSubDir = pChild;
        pCur = pChild;
    }
    CDirInformation* pDeepest = pCur;
    pDeepest->Insert(File("f", 1));

    EXPECT_EQ(m_pRoot->ComputeTotals(), kDepth + 1u);
    EXPECT_EQ(m_pRoot->m_pFirstSubDir->m_nTotalSize, static_cast<std::uint64_t>(kDepth));
    EXPECT_EQ(pDeepest->m_nTotalSize, 1u);
    EXPECT_EQ(m_pRoot->m_nFileCount, 1);

    CDirInformation* pOldRoot = m_pRoot;
    m_factory.RecycleTree(m_pRoot);
    m_pRoot = nullptr;
    EXPECT_EQ(m_factory.m_pFreeDirs, pOldRoot);
    EXPECT_EQ(FreeDirCount(m_factory), kDepth + 1u);
    EXPECT_EQ(FreeFileCount(m_factory), kDepth + 1u);
}

// ---- owned trees ----

// Below the root: two subdirectories with a file each, and a file in the root; no names, so
// that nothing but the factory's memory is in the tree.
void Populate(CItemTree& tree) {
    CKWLItemFactory& factory = tree.Factory();
    CDirInformation* pRoot = tree.Root();
    for (int i = 0; i < 2; ++i) {
        CDirInformation* pDir = factory.NewDirectory();
        pDir->m_pNextDir = pRoot->m_pFirstSubDir;
        pRoot->m_pFirstSubDir = pDir;
        pDir->m_pFirstFile = factory.NewFile();
    }
    pRoot->m_pFirstFile = factory.NewFile();
}

std::set<const void*> NodesOf(const CItemTree& tree) {
    std::set<const void*> nodes{tree.Root(), tree.Root()->m_pFirstFile};
    for (const CDirInformation* p = tree.Root()->m_pFirstSubDir; p != nullptr; p = p->m_pNextDir)
        nodes.insert({p, p->m_pFirstFile});
    return nodes;
}

TEST(ItemTreeOwned, NodesGoBackToTheFactoryWhenTheTreeIsClearedOrGoes) {
    CKWLItemFactory factory;
    {
        CItemTree tree(factory);
        CDirInformation* pRoot = tree.Root();
        Populate(tree);
        pRoot->m_nFileCount = 3;
        tree.Clear();
        EXPECT_EQ(tree.Root(), pRoot); // the former root, reset
        EXPECT_EQ(pRoot->m_pFirstSubDir, nullptr);
        EXPECT_EQ(pRoot->m_pFirstFile, nullptr);
        EXPECT_EQ(pRoot->m_nFileCount, 0);
        EXPECT_EQ(FreeDirCount(factory), 2u);
        EXPECT_EQ(FreeFileCount(factory), 3u);
        Populate(tree);
        EXPECT_EQ(FreeDirCount(factory), 0u);
        EXPECT_EQ(FreeFileCount(factory), 0u);
    }
    EXPECT_EQ(FreeDirCount(factory), 3u);
    EXPECT_EQ(FreeFileCount(factory), 3u);
    EXPECT_NE(factory.m_pFreeDirs, nullptr);
}

TEST(ItemTreeOwned, MovedTreeKeepsItsNodesAndAReplacedOneHandsThemBack) {
    CKWLItemFactory factory;
    CItemTree first(factory);
    Populate(first);
    const std::set<const void*> nodes = NodesOf(first);
    CItemTree moved(std::move(first));
    EXPECT_EQ(NodesOf(moved), nodes);
    EXPECT_EQ(&moved.Factory(), &factory);
    EXPECT_EQ(FreeDirCount(factory), 0u);

    CItemTree other(factory);
    moved = std::move(other); // the nodes moved held go back
    EXPECT_EQ(FreeDirCount(factory), 3u);
    EXPECT_EQ(FreeFileCount(factory), 3u);
    EXPECT_EQ(moved.Root()->m_pFirstSubDir, nullptr);
}

TEST(ItemTreeOwned, TreeWithAFactoryOfItsOwnReusesItsNodes) {
    CItemTree tree;
    Populate(tree);
    const std::set<const void*> nodes = NodesOf(tree);
    tree.Clear();
    Populate(tree);
    EXPECT_EQ(NodesOf(tree), nodes);
    EXPECT_EQ(tree.Factory().m_pFreeDirs, nullptr);
    EXPECT_EQ(tree.Factory().m_pFreeFiles, nullptr);

    CKWLItemFactory* pFactory = &tree.Factory();
    CItemTree moved(std::move(tree));
    EXPECT_EQ(&moved.Factory(), pFactory); // the factory moves with the tree
    EXPECT_EQ(NodesOf(moved), nodes);
}

} // namespace
