#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "model/ItemTree.h"
#include "model/KWLOption.h"
#include "scan/DirectoryScanner.h"

// Looking into scanned trees, shared by the scan tests.

inline std::vector<std::string> FileNames(const CDirInformation* pDir) {
    std::vector<std::string> names;
    for (const CFileInformation* p = pDir->m_pFirstFile; p; p = p->m_pNextFile)
        names.push_back(p->m_strName);
    return names;
}

inline std::vector<std::string> DirNames(const CDirInformation* pDir) {
    std::vector<std::string> names;
    for (const CDirInformation* p = pDir->m_pFirstSubDir; p; p = p->m_pNextDir)
        names.push_back(p->m_strName);
    return names;
}

inline const CFileInformation* FindFile(const CDirInformation* pDir, const std::string& strName) {
    for (const CFileInformation* p = pDir->m_pFirstFile; p; p = p->m_pNextFile)
        if (p->m_strName == strName)
            return p;
    return nullptr;
}

inline const CDirInformation* FindDir(const CDirInformation* pDir, const std::string& strName) {
    for (const CDirInformation* p = pDir->m_pFirstSubDir; p; p = p->m_pNextDir)
        if (p->m_strName == strName)
            return p;
    return nullptr;
}

inline bool IsEmptyNode(const CDirInformation* p) {
    return p->m_pFirstFile == nullptr && p->m_pFirstSubDir == nullptr && p->m_nFileCount == 0 &&
           p->m_nTotalSize == 0;
}

inline std::set<const void*> NodesOf(const CDirInformation* pRoot) {
    std::set<const void*> nodes;
    std::vector<const CDirInformation*> stack{pRoot};
    while (!stack.empty()) {
        const CDirInformation* p = stack.back();
        stack.pop_back();
        nodes.insert(p);
        for (const CFileInformation* f = p->m_pFirstFile; f; f = f->m_pNextFile)
            nodes.insert(f);
        for (const CDirInformation* s = p->m_pFirstSubDir; s; s = s->m_pNextDir)
            stack.push_back(s);
    }
    return nodes;
}

// Every field of every node, in tree order, one line each: two trees are the same exactly
// when their descriptions are.
inline std::string DescribeTree(const CDirInformation* pRoot) {
    std::string str;
    struct SFrame {
        const CDirInformation* pDir;
        int nDepth;
    };
    std::vector<SFrame> stack{{pRoot, 0}};
    while (!stack.empty()) {
        const auto [pDir, nDepth] = stack.back();
        stack.pop_back();
        str += std::string(static_cast<std::size_t>(nDepth), ' ') + "D " +
               std::string(pDir->m_strName) + " " +
               (nDepth == 0 ? "" : std::to_string(pDir->m_timeCreation.GetTime())) + " " +
               std::to_string(pDir->m_nTotalSize) + " " + std::to_string(pDir->m_nFileCount) + "\n";
        for (const CFileInformation* f = pDir->m_pFirstFile; f; f = f->m_pNextFile)
            str += std::string(static_cast<std::size_t>(nDepth) + 1, ' ') + "F " +
                   std::string(f->m_strName) + " " + std::to_string(f->m_nSize) + " " +
                   std::to_string(f->m_timeCreation.GetTime()) + " " +
                   std::to_string(f->m_timeLastAccess.GetTime()) + " " +
                   std::to_string(f->m_timeLastWrite.GetTime()) + " " +
                   (f->m_bReadOnly ? "R" : "-") + (f->m_bHidden ? "H" : "-") +
                   (f->m_bCompressed ? "C" : "-") + (f->m_bSystem ? "S" : "-") +
                   (f->m_bArchive ? "A" : "-") + "\n";
        std::vector<SFrame> children;
        for (const CDirInformation* s = pDir->m_pFirstSubDir; s; s = s->m_pNextDir)
            children.push_back({s, nDepth + 1});
        stack.insert(stack.end(), children.rbegin(), children.rend());
    }
    return str;
}

// Counts and totals agree with the lists everywhere: what a partial tree must still keep.
// Returns an empty string when they do, else the first disagreement.
inline std::string CheckCounts(const CDirInformation* pRoot) {
    std::vector<const CDirInformation*> stack{pRoot};
    while (!stack.empty()) {
        const CDirInformation* p = stack.back();
        stack.pop_back();
        int nFiles = 0;
        std::uint64_t nBytes = 0;
        for (const CFileInformation* f = p->m_pFirstFile; f; f = f->m_pNextFile) {
            ++nFiles;
            nBytes += f->m_nSize;
        }
        std::uint64_t nBelow = 0;
        for (const CDirInformation* s = p->m_pFirstSubDir; s; s = s->m_pNextDir) {
            nBelow += s->m_nTotalSize;
            stack.push_back(s);
        }
        if (nFiles != p->m_nFileCount || nBytes + nBelow != p->m_nTotalSize)
            return "counts of " + std::string(p->m_strName);
    }
    return "";
}

// A scan of the caller's own (children of test processes use it, and so does any test that
// wants a whole scan in one line).
struct SChildScan {
    explicit SChildScan(const std::string& strPath, unsigned nThreads = 0, bool bRecursive = true) {
        option.m_bRecursive = bRecursive;
        CDirectoryScanner scanner(option);
        scanner.SetThreads(nThreads);
        bOpened = scanner.RebuildTree(tree, strPath);
        pRoot = tree.Root();
        errors = scanner.GetScanErrors();
        nEntries = scanner.GetEntriesRead();
    }

    CItemTree tree;
    CKWLOption option;
    const CDirInformation* pRoot = nullptr;
    bool bOpened = false;
    std::vector<SScanError> errors;
    std::uint64_t nEntries = 0;
};

