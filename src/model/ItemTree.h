#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <utility>

#include "model/KWLItem.h"
#include "model/KWLItemFactory.h"
#include "platform/ContentHash.h"

// The texts of symbolic links, exact, by their nodes: only a few entries are links, and only
// some outputs need their texts, so they are kept beside the nodes rather than in each.
using CLinkTargets = std::unordered_map<const CFileInformation*, std::string>;
// Content hashes of regular files, by their nodes, kept beside them for the same reason.
using CContentHashes = std::unordered_map<const CFileInformation*, SContentDigest>;

// Directories, files and their bytes.
struct STreeCounts {
    std::uint64_t nDirectories = 0;
    std::uint64_t nFiles = 0;
    std::uint64_t nBytes = 0; // stays at 2^64 - 1 rather than wrap

    void Add(const STreeCounts& other) {
        nDirectories += other.nDirectories;
        nFiles += other.nFiles;
        nBytes = AddSaturated(nBytes, other.nBytes);
    }
};

// A tree of nodes and the factory they come from, starting as an empty root. The tree owns its
// nodes: clearing it hands them back to the factory, for the next tree to reuse.
class CItemTree {
public:
    // From a factory of the tree's own. When the tree goes, its nodes go with the factory's
    // memory at once, without a walk over them: for trees whose nodes hold nothing beyond
    // that memory, such as the ones a scan fills (names in the factory's name blocks).
    CItemTree();
    // From factory, which outlives the tree; the nodes go back to it when the tree goes.
    explicit CItemTree(CKWLItemFactory& factory);
    CItemTree(CItemTree&& other) noexcept;
    CItemTree& operator=(CItemTree&& other) noexcept;
    CItemTree(const CItemTree&) = delete;
    CItemTree& operator=(const CItemTree&) = delete;
    ~CItemTree();

    CDirInformation* Root() const { return m_pRoot; }
    CKWLItemFactory& Factory() const { return *m_pFactory; }
    // The text of the link pFile, when the scan read it; null otherwise.
    const std::string* LinkTarget(const CFileInformation* pFile) const;
    void SetLinkTargets(CLinkTargets linkTargets) { m_linkTargets = std::move(linkTargets); }
    // The algorithm of the content hashes, None when the scan took none.
    EHashAlgorithm HashAlgorithm() const { return m_eHash; }
    // The content hash of pFile, when the scan took one; null otherwise.
    const SContentDigest* ContentHash(const CFileInformation* pFile) const;
    void SetContentHashes(EHashAlgorithm eHash, CContentHashes hashes);
    // Keeps nLevels levels below the root (1: its own entries): the directories at the limit
    // hand their entries back to the factory and are marked m_bEntriesLeftOut, keeping the
    // totals and file counts computed before.
    void CutBelow(int nLevels);
    // What CutBelow handed back: the directories and files below the limit, and their bytes
    // (the totals of the directories at the limit). They still count where the sizes do.
    const STreeCounts& LeftOut() const { return m_leftOut; }
    // Hands every node back to the factory and starts again from an empty root: the former
    // root node, reset.
    void Clear();

private:
    void HandBack() noexcept;
    void HandBackEntries(CDirInformation* pDir);

    std::unique_ptr<CKWLItemFactory> m_pOwnFactory; // null when the factory is someone else's
    CKWLItemFactory* m_pFactory = nullptr;
    CDirInformation* m_pRoot = nullptr;
    CLinkTargets m_linkTargets;
    EHashAlgorithm m_eHash = EHashAlgorithm::None;
    CContentHashes m_hashes;
    STreeCounts m_leftOut;
};
