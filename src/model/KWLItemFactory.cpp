#include "model/KWLItemFactory.h"

#include <vector>

CKWLItemFactory::~CKWLItemFactory() {
    while (m_pFreeDirs != nullptr) {
        CDirInformation* pDir = m_pFreeDirs;
        m_pFreeDirs = pDir->m_pNextDir;
        pDir->m_pNextDir = nullptr;
        delete pDir;
    }
    while (m_pFreeFiles != nullptr) {
        CFileInformation* pFile = m_pFreeFiles;
        m_pFreeFiles = pFile->m_pNextFile;
        pFile->m_pNextFile = nullptr;
        delete pFile;
    }
}

CDirInformation* CKWLItemFactory::NewDirectory() {
    if (m_pFreeDirs == nullptr)
        return new CDirInformation();
    CDirInformation* pDir = m_pFreeDirs;
    m_pFreeDirs = pDir->m_pNextDir;
    pDir->m_pNextDir = nullptr;
    return pDir;
}

CFileInformation* CKWLItemFactory::NewFile() {
    if (m_pFreeFiles == nullptr)
        return new CFileInformation();
    CFileInformation* pFile = m_pFreeFiles;
    m_pFreeFiles = pFile->m_pNextFile;
    pFile->m_pNextFile = nullptr;
    return pFile;
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
