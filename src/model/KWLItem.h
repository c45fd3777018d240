#pragma once

#include <cstdint>
#include <string>

#include "platform/Time.h"

// Common base of the tree nodes; the dynamic type tells a file from a directory.
class CKWLItem {
public:
    virtual ~CKWLItem() = default;
};

class CFileInformation;

// A directory: its files and its subdirectories in two lists, each sorted by name.
class CDirInformation : public CKWLItem {
public:
    CDirInformation();

    void Set(std::string strName, CTime timeCreation, std::uint64_t nTotalSize, int nFileCount);
    void Reset();
    // A file goes into this directory's file list (result null); a directory goes into the
    // sibling chain that starts here, and the result is the node that now holds its data.
    CDirInformation* Insert(CKWLItem* pItem);
    void SwapContents(CDirInformation* pOther);
    // Adds every subdirectory's total into this one; run once per scan, on the root.
    std::uint64_t ComputeTotals();
    // HTML layout: measures the chain that starts here (all at nDepth) with its subtrees,
    // writes both layout counts, widens *pnColumns as needed and sets *pnGroups to the sum
    // of the chain's file group counts. Returns the directories in and below the chain - 1.
    int Measure(int* pnGroups, int nDepth, int* pnColumns, int nFileColumns, int nDirColumns);

    CFileInformation* m_pFirstFile = nullptr;
    CDirInformation* m_pFirstSubDir = nullptr;
    CDirInformation* m_pNextDir = nullptr;
    std::string m_strName;
    CTime m_timeCreation;
    std::uint64_t m_nTotalSize = 0; // 64-bit: today's files outgrow 32-bit sums
    int m_nFileCount = 0;
    int m_nSubDirCount = 0;    // HTML layout: directories below, all levels
    int m_nFileGroupCount = 0; // HTML layout: directories of the subtree that hold files

private:
    void InsertFile(CFileInformation* pFile);
    CDirInformation* InsertDirectory(CDirInformation* pDir);
};

// A file (or anything else that is not a directory, links included).
class CFileInformation : public CKWLItem {
public:
    CFileInformation();

    void Set(std::uint64_t nSize, std::string strName, bool bReadOnly, bool bCompressed,
             bool bSystem, bool bHidden, bool bArchive, CTime timeCreation, CTime timeLastAccess,
             CTime timeLastWrite);
    void Reset();
    // Inserts a file into the sorted chain that starts at this file.
    void InsertSorted(CKWLItem* pItem);
    void SwapContents(CFileInformation* pOther);

    CFileInformation* m_pNextFile = nullptr;
    std::uint64_t m_nSize = 0;
    std::string m_strName;
    CTime m_timeCreation;
    CTime m_timeLastAccess;
    CTime m_timeLastWrite;
    bool m_bReadOnly = false;
    bool m_bCompressed = false;
    bool m_bSystem = false;
    bool m_bHidden = false;
    bool m_bArchive = false;
};
