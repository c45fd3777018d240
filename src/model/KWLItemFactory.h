#pragma once

#include <cstddef>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

#include "model/BlockPool.h"
#include "model/KWLItem.h"
#include "model/NameArena.h"

// Makes tree nodes and takes them back: a new scan reuses the nodes of the last tree,
// and nothing is freed before the factory itself goes. Nodes are built in large regions of
// memory that the factory owns, so a tree that is still in use when the factory goes is
// released with it at once, without a walk over its nodes.
class CKWLItemFactory {
public:
    CKWLItemFactory() : m_names(m_pool) {}
    CKWLItemFactory(const CKWLItemFactory&) = delete;
    CKWLItemFactory& operator=(const CKWLItemFactory&) = delete;
    ~CKWLItemFactory();

    CDirInformation* NewDirectory();
    CFileInformation* NewFile();
    // Returns the whole tree: the directory, its files, its subtree and its later siblings.
    void RecycleTree(CDirInformation* pDir);
    void RecycleFiles(CFileInformation* pFirst);

    CDirInformation* m_pFreeDirs = nullptr;
    CFileInformation* m_pFreeFiles = nullptr;

private:
    friend class CNodeSource;

    // A piece of node memory that one builder fills from the front.
    struct SRegion {
        char* pNext = nullptr;
        std::size_t nLeft = 0;
    };

    // Builds a node in region from args, taking a new region when it is full; null without
    // memory.
    template <class T, class... Args> T* Construct(SRegion& region, Args... args);
    bool TakeRegion(SRegion& region);

    template <class T> static void Destroy(T* pNode);

    CBlockPool m_pool; // the memory of the nodes and names: first in, last out
    CNameArena m_names;
    std::mutex m_mutex; // free lists and regions, when the threads of a scan take nodes
    std::vector<SRegion> m_spare; // unused ends of regions that a builder gave back
    SRegion m_own;                // for NewDirectory and NewFile
};

// Nodes for one thread of a scan: recycled nodes are taken from the factory in batches and
// new ones built in regions of its own, so the threads rarely wait for each other; names go
// into a name block of its own. What it did not hand out goes back to the factory.
class CNodeSource {
public:
    explicit CNodeSource(CKWLItemFactory& factory) : m_factory(factory), m_names(factory.m_names) {}
    CNodeSource(const CNodeSource&) = delete;
    CNodeSource& operator=(const CNodeSource&) = delete;
    ~CNodeSource();

    // Takes up to this many recycled nodes, the number about to be needed: a rescan of the
    // same tree reuses every old node and builds none.
    void Reserve(std::size_t nFiles, std::size_t nDirs);
    // Null when no node can be built. The caller sets every field of a new node.
    CFileInformation* NewFile();
    CDirInformation* NewDirectory();
    CItemName MakeName(std::string_view str) { return m_names.Make(str); }

private:
    CKWLItemFactory& m_factory;
    CFileInformation* m_pFiles = nullptr;
    CDirInformation* m_pDirs = nullptr;
    CKWLItemFactory::SRegion m_region;
    CNameArena::CWriter m_names;
};
