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

// The example tree: x holds sub (with deep/d.txt of 9 bytes and c.txt of 7) and the files
// a.txt (120 bytes) and b.txt (5). Returns the path of x.
inline std::string MakeExampleTree(CTempTree& tree) {
    tree.AddFile("x/sub/deep/d.txt", 9);
    tree.AddFile("x/sub/c.txt", 7);
    tree.AddFile("x/a.txt", 120);
    tree.AddFile("x/b.txt", 5);
    return tree.Path("x");
}

// One directory column (name) and two file columns (name, size).
inline constexpr const char* kNameSizeFormat = "name|F-size";
