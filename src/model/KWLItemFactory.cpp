#include "model/KWLItemFactory.h"

#include <new>

namespace {

// Large enough that taking a region is rare, small enough that a thread's unused end is
// not worth mentioning.
constexpr std::size_t kRegionSize = 4 * CBlockPool::kPieceAlign;

template <class T> T* PopFree(T*& pHead, T* T::*pNext) {
    T* p = pHead;
    pHead = p->*pNext;
    p->*pNext = nullptr;
    return p;
}

} // namespace

CKWLItemFactory::~CKWLItemFactory() {
    while (m_pFreeDirs != nullptr)
        Destroy(PopFree(m_pFreeDirs, &CDirInformation::m_pNextDir));
    while (m_pFreeFiles != nullptr)
        Destroy(PopFree(m_pFreeFiles, &CFileInformation::m_pNextFile));
}

// A node may also have come from new (made by a caller and recycled into a tree).
template <class T> void CKWLItemFactory::Destroy(T* pNode) {
    if (pNode->m_bInArena)
        pNode->~T();
    else
        delete pNode;
}

bool CKWLItemFactory::TakeRegion(SRegion& region) {
    std::lock_guard lock(m_mutex);
    if (!m_spare.empty()) {
        region = m_spare.back();
        m_spare.pop_back();
        return true;
    }
    const CBlockPool::SPiece piece = m_pool.Take(kRegionSize);
    region.pNext = piece.pData;
    region.nLeft = piece.nSize;
    return piece.pData != nullptr;
}

template <class T, class... Args> T* CKWLItemFactory::Construct(SRegion& region, Args... args) {
    static_assert(sizeof(CFileInformation) % alignof(CDirInformation) == 0 &&
                  sizeof(CDirInformation) % alignof(CFileInformation) == 0);
    if (region.nLeft < sizeof(T)) {
        region = {}; // an end too small for any node
        if (!TakeRegion(region))
            return nullptr;
    }
    T* pNode = new (region.pNext) T(args...);
    pNode->m_bInArena = true;
    region.pNext += sizeof(T);
    region.nLeft -= sizeof(T);
    return pNode;
}

CDirInformation* CKWLItemFactory::NewDirectory() {
    if (m_pFreeDirs == nullptr)
        return Construct<CDirInformation>(m_own);
    return PopFree(m_pFreeDirs, &CDirInformation::m_pNextDir);
}

CFileInformation* CKWLItemFactory::NewFile() {
    if (m_pFreeFiles == nullptr)
        return Construct<CFileInformation>(m_own);
    return PopFree(m_pFreeFiles, &CFileInformation::m_pNextFile);
}

void CKWLItemFactory::RecycleFiles(CFileInformation* pFirst) {
    if (pFirst == nullptr)
        return;
    CFileInformation* pLast = pFirst;
    for (;;) {
        pLast->Reset();
        if (pLast->m_pNextFile == nullptr)
            break;
        pLast = pLast->m_pNextFile;
    }
    pLast->m_pNextFile = m_pFreeFiles;
    m_pFreeFiles = pFirst;
}

// Same outcome as recycling files, first subdirectory, next sibling and then the node
// itself, recursively: file chains go back in pre-order, directories in post-order, so the
// root is pushed last and comes out first. Written with explicit stacks so neither a deep
// tree nor a long sibling chain can exhaust the call stack.
void CKWLItemFactory::RecycleTree(CDirInformation* pDir) {
    if (pDir == nullptr)
        return;

    // Files in pre-order: node, first subdirectory's subtree, next sibling's subtree.
    std::vector<CDirInformation*> stack{pDir};
    while (!stack.empty()) {
        CDirInformation* p = stack.back();
        stack.pop_back();
        RecycleFiles(p->m_pFirstFile);
        p->m_pFirstFile = nullptr;
        if (p->m_pNextDir != nullptr)
            stack.push_back(p->m_pNextDir);
        if (p->m_pFirstSubDir != nullptr)
            stack.push_back(p->m_pFirstSubDir);
    }
    // Directories in post-order (first subdirectory, next sibling, node); collect its
    // reverse (node, next sibling, first subdirectory) and walk that backwards.
    std::vector<CDirInformation*> reversePostOrder;
    stack.push_back(pDir);
    while (!stack.empty()) {
        CDirInformation* p = stack.back();
        stack.pop_back();
        reversePostOrder.push_back(p);
        if (p->m_pFirstSubDir != nullptr)
            stack.push_back(p->m_pFirstSubDir);
        if (p->m_pNextDir != nullptr)
            stack.push_back(p->m_pNextDir);
    }
    // Push in post-order = walk the reverse post-order backwards.
    for (auto it = reversePostOrder.rbegin(); it != reversePostOrder.rend(); ++it) {
        CDirInformation* p = *it;
        p->m_pFirstSubDir = nullptr;
        p->Reset();
        p->m_pNextDir = m_pFreeDirs;
        m_pFreeDirs = p;
    }
}

// ---- CNodeSource ----

CNodeSource::~CNodeSource() {
    std::lock_guard lock(m_factory.m_mutex);
    while (m_pFiles != nullptr) {
        CFileInformation* p = PopFree(m_pFiles, &CFileInformation::m_pNextFile);
        p->m_pNextFile = m_factory.m_pFreeFiles;
        m_factory.m_pFreeFiles = p;
    }
    while (m_pDirs != nullptr) {
        CDirInformation* p = PopFree(m_pDirs, &CDirInformation::m_pNextDir);
        p->m_pNextDir = m_factory.m_pFreeDirs;
        m_factory.m_pFreeDirs = p;
    }
    if (m_region.nLeft >= sizeof(CDirInformation)) {
        try {
            m_factory.m_spare.push_back(m_region);
        } catch (const std::bad_alloc&) {
            // The end stays unused; the factory frees it anyway.
        }
    }
}

void CNodeSource::Reserve(std::size_t nFiles, std::size_t nDirs) {
    std::lock_guard lock(m_factory.m_mutex);
    for (; nFiles > 0 && m_factory.m_pFreeFiles != nullptr; --nFiles) {
        CFileInformation* p = PopFree(m_factory.m_pFreeFiles, &CFileInformation::m_pNextFile);
        p->m_pNextFile = m_pFiles;
        m_pFiles = p;
    }
    for (; nDirs > 0 && m_factory.m_pFreeDirs != nullptr; --nDirs) {
        CDirInformation* p = PopFree(m_factory.m_pFreeDirs, &CDirInformation::m_pNextDir);
        p->m_pNextDir = m_pDirs;
        m_pDirs = p;
    }
}

CFileInformation* CNodeSource::NewFile() {
    if (m_pFiles != nullptr)
        return PopFree(m_pFiles, &CFileInformation::m_pNextFile);
    return m_factory.Construct<CFileInformation>(m_region, SFilledByScan());
}

CDirInformation* CNodeSource::NewDirectory() {
    if (m_pDirs != nullptr)
        return PopFree(m_pDirs, &CDirInformation::m_pNextDir);
    return m_factory.Construct<CDirInformation>(m_region, SFilledByScan());
}
