#include "model/ItemTree.h"

#include <new>
#include <utility>
#include <vector>

namespace {

CDirInformation* NewRoot(CKWLItemFactory& factory) {
    CDirInformation* pRoot = factory.NewDirectory();
    if (pRoot == nullptr)
        throw std::bad_alloc();
    return pRoot;
}

} // namespace

CItemTree::CItemTree()
    : m_pOwnFactory(std::make_unique<CKWLItemFactory>()), m_pFactory(m_pOwnFactory.get()),
      m_pRoot(NewRoot(*m_pFactory)) {}

CItemTree::CItemTree(CKWLItemFactory& factory) : m_pFactory(&factory), m_pRoot(NewRoot(factory)) {}

CItemTree::CItemTree(CItemTree&& other) noexcept
    : m_pOwnFactory(std::move(other.m_pOwnFactory)), m_pFactory(other.m_pFactory),
      m_pRoot(std::exchange(other.m_pRoot, nullptr)),
      m_linkTargets(std::move(other.m_linkTargets)), m_eHash(other.m_eHash),
      m_hashes(std::move(other.m_hashes)), m_leftOut(other.m_leftOut) {}

CItemTree& CItemTree::operator=(CItemTree&& other) noexcept {
    if (this != &other) {
        HandBack();
        m_pOwnFactory = std::move(other.m_pOwnFactory);
        m_pFactory = other.m_pFactory;
        m_pRoot = std::exchange(other.m_pRoot, nullptr);
        m_linkTargets = std::move(other.m_linkTargets);
        m_eHash = other.m_eHash;
        m_hashes = std::move(other.m_hashes);
        m_leftOut = other.m_leftOut;
    }
    return *this;
}

CItemTree::~CItemTree() {
    HandBack();
}

const std::string* CItemTree::LinkTarget(const CFileInformation* pFile) const {
    const auto it = m_linkTargets.find(pFile);
    return it != m_linkTargets.end() ? &it->second : nullptr;
}

const SContentDigest* CItemTree::ContentHash(const CFileInformation* pFile) const {
    const auto it = m_hashes.find(pFile);
    return it != m_hashes.end() ? &it->second : nullptr;
}

void CItemTree::SetContentHashes(EHashAlgorithm eHash, CContentHashes hashes) {
    m_eHash = eHash;
    m_hashes = std::move(hashes);
}

void CItemTree::CutBelow(int nLevels) {
    if (nLevels <= 0) {
        HandBackEntries(m_pRoot);
        return;
    }
    std::vector<std::pair<CDirInformation*, int>> stack; // a directory and its depth
    for (CDirInformation* p = m_pRoot->m_pFirstSubDir; p != nullptr; p = p->m_pNextDir)
        stack.emplace_back(p, 1);
    while (!stack.empty()) {
        const auto [pDir, nDepth] = stack.back();
        stack.pop_back();
        if (nDepth < nLevels) {
            for (CDirInformation* p = pDir->m_pFirstSubDir; p != nullptr; p = p->m_pNextDir)
                stack.emplace_back(p, nDepth + 1);
            continue;
        }
        HandBackEntries(pDir);
        pDir->m_bEntriesLeftOut = true;
    }
}

// Everything below pDir goes back to the factory, and what is kept beside those files with it:
// a node handed back may come again as another file. It is counted in m_leftOut first.
void CItemTree::HandBackEntries(CDirInformation* pDir) {
    const bool bKeptBeside = !m_linkTargets.empty() || !m_hashes.empty();
    m_leftOut.nBytes = AddSaturated(m_leftOut.nBytes, pDir->m_nTotalSize);
    std::vector<const CDirInformation*> stack{pDir};
    while (!stack.empty()) {
        const CDirInformation* p = stack.back();
        stack.pop_back();
        for (const CFileInformation* pFile = p->m_pFirstFile; pFile != nullptr;
             pFile = pFile->m_pNextFile) {
            ++m_leftOut.nFiles;
            if (bKeptBeside) {
                m_linkTargets.erase(pFile);
                m_hashes.erase(pFile);
            }
        }
        for (const CDirInformation* pSub = p->m_pFirstSubDir; pSub != nullptr;
             pSub = pSub->m_pNextDir) {
            ++m_leftOut.nDirectories;
            stack.push_back(pSub);
        }
    }
    m_pFactory->RecycleTree(std::exchange(pDir->m_pFirstSubDir, nullptr));
    m_pFactory->RecycleFiles(std::exchange(pDir->m_pFirstFile, nullptr));
}

void CItemTree::Clear() {
    m_linkTargets.clear();
    m_eHash = EHashAlgorithm::None;
    m_hashes.clear();
    m_leftOut = STreeCounts{};
    m_pFactory->RecycleTree(m_pRoot);
    m_pRoot = NewRoot(*m_pFactory); // the former root, which went back last
}

// A factory of the tree's own takes the nodes with it when it goes.
void CItemTree::HandBack() noexcept {
    if (m_pOwnFactory == nullptr && m_pRoot != nullptr)
        m_pFactory->RecycleTree(std::exchange(m_pRoot, nullptr));
}
