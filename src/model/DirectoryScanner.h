#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "model/KWLItemFactory.h"
#include "model/KWLOption.h"
#include "platform/DirReader.h"

// Reads a directory (and, with the recursive option, everything below it) into a tree.
// Links are never followed; a directory that cannot be opened becomes an empty node; an
// entry that vanishes while it is read is skipped. Nothing here shows a message.
class CDirectoryScanner {
public:
    using ProgressFn = std::function<void(std::uint64_t nEntriesRead)>;

    CDirectoryScanner(CKWLItemFactory& factory, const CKWLOption& option);

    // Called with the number of entries read so far, every nEvery entries and once at the end.
    void SetProgress(ProgressFn fnProgress, std::uint64_t nEvery = 8192);

    // Hands the old tree back to the factory, scans strPath into a new root and completes the
    // totals. Returns false when strPath is not a directory that can be opened; pRoot is then
    // an empty root. An empty path scans nothing.
    bool RebuildTree(CDirInformation*& pRoot, const std::string& strPath);

    // Reads strPath into pParent (whose own data stays as it is). Afterwards the working
    // directory is the parent of strPath. Returns false when strPath cannot be opened.
    bool ScanDirectory(const std::string& strPath, CDirInformation* pParent);

    std::uint64_t GetEntriesRead() const { return m_nEntriesRead; }
    // errno of the failed open when ScanDirectory returned false (0 for an empty path).
    int GetOpenError() const { return m_nOpenError; }

private:
    struct SPendingDir {
        CDirInformation* pNode;
        std::string strRawName;
    };
    struct SFrame {
        CDirReader reader;
        std::vector<SPendingDir> subDirs;
        std::size_t nNext = 0;
    };

    void ScanTree(CDirReader&& rootReader, CDirInformation* pRoot);
    void FillNode(CDirReader& reader, CDirInformation* pNode, std::vector<SPendingDir>& subDirs);
    void LinkFiles(CDirInformation* pNode, const std::vector<std::size_t>& order);
    void LinkDirectories(CDirInformation* pNode, const std::vector<std::size_t>& order,
                         std::vector<SPendingDir>& subDirs);
    void ReportProgress(bool bFinal);
    static void MoveToParentOf(const std::string& strPath);

    CKWLItemFactory& m_factory;
    const CKWLOption& m_option;
    ProgressFn m_fnProgress;
    std::uint64_t m_nProgressEvery = 8192;
    std::uint64_t m_nNextReport = 0;
    std::uint64_t m_nEntriesRead = 0;
    int m_nOpenError = 0;

    // Scratch space reused for every directory of a scan, released when the scan ends.
    std::vector<SDirEntry> m_entries;
    std::vector<std::string> m_names;
    std::vector<std::string> m_keys;
};
