// Fuzz target: the input is a list of names, one per line. Checks that CompareNames is a
// consistent order that agrees with NameSortKey, and that sorted insertion into file lists
// and directory chains gives exactly the order of a stable sort of the names as shown, with
// every node's data (and a moved directory's own files and subdirectories) kept together.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <numeric>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzCheck.h"
#include "model/KWLItem.h"
#include "model/KWLItemFactory.h"
#include "model/NameOrder.h"
#include "platform/Encoding.h"

namespace {

// Insertion is a linear walk per item; more names would only slow the fuzzer down.
constexpr std::size_t kMaxNames = 64;

int Sign(int n) {
    return (n > 0) - (n < 0);
}

// The order written out once more: ASCII letters folded, other bytes unsigned, prefix first.
int ModelCompare(std::string_view a, std::string_view b) {
    auto fold = [](char c) {
        unsigned char b = static_cast<unsigned char>(c);
        return (b >= 'A' && b <= 'Z') ? b + 32 : static_cast<int>(b);
    };
    for (std::size_t i = 0; i < a.size() && i < b.size(); ++i)
        if (fold(a[i]) != fold(b[i]))
            return fold(a[i]) < fold(b[i]) ? -1 : 1;
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

// The lists keep names exact but sort them as they are shown: control characters as "?".
std::vector<std::size_t> StableOrder(const std::vector<std::string>& names) {
    std::vector<std::string> shown;
    for (const std::string& strName : names)
        shown.push_back(SanitizeName(strName));
    std::vector<std::size_t> order(names.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return CompareNames(shown[a], shown[b]) < 0;
    });
    return order;
}

void CheckOrder(const std::vector<std::string>& names) {
    std::vector<std::string> keys;
    for (const std::string& name : names) {
        std::string key = NameSortKey(name);
        KWL_CHECK(key.size() == name.size());
        KWL_CHECK(NameSortKey(key) == key);
        KWL_CHECK(CompareNames(name, key) == 0);
        KWL_CHECK(CompareNames(name, name) == 0);
        keys.push_back(std::move(key));
    }
    for (std::size_t i = 0; i < names.size(); ++i) {
        for (std::size_t j = 0; j < names.size(); ++j) {
            const int c = Sign(CompareNames(names[i], names[j]));
            KWL_CHECK(c == -Sign(CompareNames(names[j], names[i])));
            KWL_CHECK(c == ModelCompare(names[i], names[j]));
            // std::string compares its bytes as unsigned char.
            KWL_CHECK(c == Sign(keys[i].compare(keys[j])));
            KWL_CHECK((c == 0) == (keys[i] == keys[j]));
            // A name sorts before every longer name that starts with it.
            if (names[j].size() > names[i].size() &&
                names[j].compare(0, names[i].size(), names[i]) == 0)
                KWL_CHECK(c < 0);
            // The scan sorts by the prefix numbers first: they may only tie, never disagree.
            const SNamePrefix keyI = NamePrefixKey(names[i]), keyJ = NamePrefixKey(names[j]);
            if (keyI != keyJ)
                KWL_CHECK(c == (keyI < keyJ ? -1 : 1));
        }
    }
}

CFileInformation* NewFile(CKWLItemFactory& factory, const std::string& strName,
                          std::size_t nIndex) {
    CFileInformation* pFile = factory.NewFile();
    pFile->Set(nIndex, strName, nIndex % 2 == 0, false, false, nIndex % 3 == 0, true,
               CTime(static_cast<std::int64_t>(nIndex)), CTime(1), CTime(2));
    return pFile;
}

// The files of a list, by the index each one was made with; checks that the data stayed whole.
std::vector<std::size_t> FileOrder(const CFileInformation* pFirst,
                                   const std::vector<std::string>& names) {
    std::vector<std::size_t> order;
    for (const CFileInformation* p = pFirst; p != nullptr; p = p->m_pNextFile) {
        KWL_CHECK(order.size() < names.size()); // no cycle, no stray node
        const std::size_t nIndex = static_cast<std::size_t>(p->m_nSize);
        KWL_CHECK(nIndex < names.size());
        KWL_CHECK(p->m_strName == names[nIndex]);
        KWL_CHECK(p->m_timeCreation == CTime(static_cast<std::int64_t>(nIndex)));
        KWL_CHECK(p->m_bReadOnly == (nIndex % 2 == 0) && p->m_bHidden == (nIndex % 3 == 0));
        order.push_back(nIndex);
    }
    return order;
}

void CheckFiles(CKWLItemFactory& factory, const std::vector<std::string>& names,
                const std::vector<std::size_t>& expected) {
    // Through the directory, as the scan does it.
    CDirInformation* pRoot = factory.NewDirectory();
    std::uint64_t nTotal = 0;
    for (std::size_t i = 0; i < names.size(); ++i) {
        KWL_CHECK(pRoot->Insert(NewFile(factory, names[i], i)) == nullptr);
        nTotal += i;
    }
    KWL_CHECK(FileOrder(pRoot->m_pFirstFile, names) == expected);
    KWL_CHECK(pRoot->m_nFileCount == static_cast<int>(names.size()));
    KWL_CHECK(pRoot->m_nTotalSize == nTotal);

    // Straight into a chain; a directory offered to it is ignored.
    CFileInformation* pHead = NewFile(factory, names[0], 0);
    CDirInformation* pStray = factory.NewDirectory();
    for (std::size_t i = 1; i < names.size(); ++i) {
        pHead->InsertSorted(NewFile(factory, names[i], i));
        if (i == names.size() / 2)
            pHead->InsertSorted(pStray);
    }
    KWL_CHECK(FileOrder(pHead, names) == expected);

    factory.RecycleTree(pRoot);
    factory.RecycleFiles(pHead);
    factory.RecycleTree(pStray);
}

void CheckDirectories(CKWLItemFactory& factory, const std::vector<std::string>& names,
                      const std::vector<std::size_t>& expected) {
    CDirInformation* pParent = factory.NewDirectory();
    std::uint64_t nTotal = 0;
    for (std::size_t i = 0; i < names.size(); ++i) {
        CDirInformation* pDir = factory.NewDirectory();
        pDir->Set(names[i], CTime(static_cast<std::int64_t>(i)), 0, 0);
        CDirInformation* pHolder;
        if (pParent->m_pFirstSubDir == nullptr) {
            pParent->m_pFirstSubDir = pDir;
            pHolder = pDir;
        } else {
            pHolder = pParent->m_pFirstSubDir->Insert(pDir);
        }
        // The node returned holds the new directory, whichever node that is.
        KWL_CHECK(pHolder != nullptr);
        KWL_CHECK(pHolder->m_strName == names[i]);
        KWL_CHECK(pHolder->m_timeCreation == CTime(static_cast<std::int64_t>(i)));
        KWL_CHECK(pHolder->m_pFirstFile == nullptr && pHolder->m_pFirstSubDir == nullptr);
        // Fill it as the scan would: later insertions must carry this content along.
        pHolder->Insert(NewFile(factory, "f", i));
        nTotal += i;
        CDirInformation* pSub = factory.NewDirectory();
        pSub->Set("sub", CTime(static_cast<std::int64_t>(i)), 0, 0);
        pHolder->m_pFirstSubDir = pSub;
    }

    std::vector<std::size_t> order;
    for (const CDirInformation* p = pParent->m_pFirstSubDir; p != nullptr; p = p->m_pNextDir) {
        KWL_CHECK(order.size() < names.size());
        const auto nIndex = static_cast<std::size_t>(p->m_timeCreation.GetTime());
        KWL_CHECK(nIndex < names.size());
        KWL_CHECK(p->m_strName == names[nIndex]);
        KWL_CHECK(p->m_nFileCount == 1 && p->m_nTotalSize == nIndex);
        KWL_CHECK(p->m_pFirstFile != nullptr && p->m_pFirstFile->m_nSize == nIndex &&
                  p->m_pFirstFile->m_pNextFile == nullptr);
        KWL_CHECK(p->m_pFirstSubDir != nullptr &&
                  p->m_pFirstSubDir->m_timeCreation.GetTime() ==
                      static_cast<std::int64_t>(nIndex) &&
                  p->m_pFirstSubDir->m_pNextDir == nullptr);
        order.push_back(nIndex);
    }
    KWL_CHECK(order == expected);
    KWL_CHECK(pParent->ComputeTotals() == nTotal);

    factory.RecycleTree(pParent);
    // The parent went back last, so it comes out first, reset.
    CDirInformation* pAgain = factory.NewDirectory();
    KWL_CHECK(pAgain == pParent && pAgain->m_strName.empty() && pAgain->m_nTotalSize == 0 &&
              pAgain->m_nFileCount == 0 && pAgain->m_pFirstFile == nullptr &&
              pAgain->m_pFirstSubDir == nullptr && pAgain->m_pNextDir == nullptr);
    factory.RecycleTree(pAgain);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t nSize) {
    std::vector<std::string> names;
    const std::string_view input(reinterpret_cast<const char*>(pData), nSize);
    std::size_t nStart = 0;
    while (nStart <= input.size() && names.size() < kMaxNames) {
        std::size_t nEnd = input.find('\n', nStart);
        if (nEnd == std::string_view::npos)
            nEnd = input.size();
        names.emplace_back(input.substr(nStart, nEnd - nStart));
        nStart = nEnd + 1;
    }

    CheckOrder(names);
    const std::vector<std::size_t> expected = StableOrder(names);
    // Every node comes from the factory and goes back to it; the factory frees them all, so
    // a node lost from a list shows up as a leak.
    CKWLItemFactory factory;
    CheckFiles(factory, names, expected);
    CheckDirectories(factory, names, expected);
    return 0;
}
