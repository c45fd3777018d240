#pragma once

#include "model/KWLItem.h"

// Makes tree nodes and takes them back: a new scan reuses the nodes of the last tree,
// and nothing is freed before the factory itself goes.
class CKWLItemFactory {
public:
    CKWLItemFactory() = default;
    CKWLItemFactory(const CKWLItemFactory&) = delete;
    CKWLItemFactory& operator=(const CKWLItemFactory&) = delete;
    virtual ~CKWLItemFactory();

    CDirInformation* NewDirectory();
    CFileInformation* NewFile();
    // Returns the whole tree: the directory, its files, its subtree and its later siblings.
    void RecycleTree(CDirInformation* pDir);
    void RecycleFiles(CFileInformation* pFirst);

    CDirInformation* m_pFreeDirs = nullptr;
    CFileInformation* m_pFreeFiles = nullptr;
};
