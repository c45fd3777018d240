#pragma once

#include <stdexcept>
#include <string>

#include "model/ItemTree.h"
#include "model/KWLOption.h"
#include "scan/DirectoryScanner.h"
#include "support/TempTree.h"

// A directory read through the real scan.
class CScannedTree {
public:
    CScannedTree() = default;
    explicit CScannedTree(const std::string& strPath, bool bRecursive = true) {
        Scan(strPath, bRecursive);
    }

    // Scans again into the same tree, which reuses the old nodes.
    void Scan(const std::string& strPath, bool bRecursive = true) {
        m_option.m_bRecursive = bRecursive;
        CDirectoryScanner scanner(m_option);
        if (!scanner.RebuildTree(m_tree, strPath))
            throw std::runtime_error("scan failed: " + strPath);
    }

    CDirInformation* Root() const { return m_tree.Root(); }

private:
    CItemTree m_tree;
    CKWLOption m_option;
};

// One directory column (name) and two file columns (name, size).
inline constexpr const char* kNameSizeFormat = "name|F-size";
