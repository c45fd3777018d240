#include "model/DirectoryScanner.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <utility>

#include "model/NameOrder.h"
#include "platform/Encoding.h"

CDirectoryScanner::CDirectoryScanner(CKWLItemFactory& factory, const CKWLOption& option)
    : m_factory(factory), m_option(option) {}

void CDirectoryScanner::SetProgress(ProgressFn fnProgress, std::uint64_t nEvery) {
    m_fnProgress = std::move(fnProgress);
    m_nProgressEvery = std::max<std::uint64_t>(nEvery, 1);
}

bool CDirectoryScanner::RebuildTree(CDirInformation*& pRoot, const std::string& strPath) {
    if (pRoot != nullptr) {
        m_factory.RecycleTree(pRoot);
        pRoot = nullptr;
    }
    pRoot = m_factory.NewDirectory();
    const bool bOpened = ScanDirectory(strPath, pRoot);
    pRoot->ComputeTotals();
    return bOpened;
}

bool CDirectoryScanner::ScanDirectory(const std::string& strPath, CDirInformation* pParent) {
    m_nOpenError = 0;
    if (pParent == nullptr || strPath.empty())
        return false;
    m_nEntriesRead = 0;
    m_nNextReport = m_nProgressEvery;
    RaiseOpenFileLimit();
    CDirReader reader;
    const bool bOpened = reader.OpenPath(strPath);
    if (bOpened)
        ScanTree(std::move(reader), pParent);
    else
        m_nOpenError = errno;
    // A directory of a million names would otherwise keep its scratch copies alive.
    std::vector<SDirEntry>().swap(m_entries);
    std::vector<std::string>().swap(m_names);
    std::vector<std::string>().swap(m_keys);
    ReportProgress(true);
    MoveToParentOf(strPath);
    return bOpened;
}

// Depth first with an explicit stack: one open directory per level, and no recursion, so a
// deep tree cannot overflow the call stack.
void CDirectoryScanner::ScanTree(CDirReader&& rootReader, CDirInformation* pRoot) {
    std::vector<SFrame> stack;
    stack.push_back(SFrame{std::move(rootReader), {}, 0});
    FillNode(stack.back().reader, pRoot, stack.back().subDirs);
    while (!stack.empty()) {
        SFrame& top = stack.back();
        if (top.nNext >= top.subDirs.size()) {
            stack.pop_back();
            continue;
        }
        SPendingDir& pending = top.subDirs[top.nNext++];
        SFrame child;
        // A directory that cannot be entered stays an empty node.
        if (!child.reader.OpenChild(top.reader, pending.strRawName))
            continue;
        CDirInformation* pNode = pending.pNode;
        stack.push_back(std::move(child));
        FillNode(stack.back().reader, pNode, stack.back().subDirs);
    }
}

// Entries are sorted once (stable, so equal names keep their enumeration order) and then
// linked: the same lists as inserting one by one in name order, without the quadratic walk.
void CDirectoryScanner::FillNode(CDirReader& reader, CDirInformation* pNode,
                                 std::vector<SPendingDir>& subDirs) {
    const std::uint64_t nBefore = m_nEntriesRead;
    std::function<void(std::size_t)> fnReading;
    if (m_fnProgress) {
        fnReading = [this, nBefore](std::size_t nSoFar) {
            m_nEntriesRead = nBefore + nSoFar;
            ReportProgress(false);
        };
    }
    reader.ReadAll(m_entries, fnReading, static_cast<std::size_t>(m_nProgressEvery));
    const std::size_t nCount = m_entries.size();
    m_nEntriesRead = nBefore + nCount;
    m_names.resize(nCount);
    m_keys.resize(nCount);
    std::vector<std::size_t> files;
    std::vector<std::size_t> dirs;
    for (std::size_t i = 0; i < nCount; ++i) {
        m_names[i] = SanitizeName(m_entries[i].strRawName);
        m_keys[i] = NameSortKey(m_names[i]);
        (m_entries[i].bDirectory ? dirs : files).push_back(i);
    }
    const auto byName = [this](std::size_t a, std::size_t b) { return m_keys[a] < m_keys[b]; };
    std::stable_sort(files.begin(), files.end(), byName);
    std::stable_sort(dirs.begin(), dirs.end(), byName);
    LinkFiles(pNode, files);
    LinkDirectories(pNode, dirs, subDirs);
    ReportProgress(false);
}

void CDirectoryScanner::LinkFiles(CDirInformation* pNode, const std::vector<std::size_t>& order) {
    CFileInformation* pLast = nullptr;
    for (std::size_t i : order) {
        SDirEntry& e = m_entries[i];
        CFileInformation* pFile = m_factory.NewFile();
        pFile->Set(e.nSize, std::move(m_names[i]), e.bReadOnly, e.bCompressed, false, e.bHidden,
                   false, CTime(e.nCreation), CTime(e.nLastAccess), CTime(e.nLastWrite));
        ++pNode->m_nFileCount;
        pNode->m_nTotalSize += e.nSize;
        if (pLast == nullptr)
            pNode->m_pFirstFile = pFile;
        else
            pLast->m_pNextFile = pFile;
        pLast = pFile;
    }
}

void CDirectoryScanner::LinkDirectories(CDirInformation* pNode,
                                        const std::vector<std::size_t>& order,
                                        std::vector<SPendingDir>& subDirs) {
    CDirInformation* pLast = nullptr;
    for (std::size_t i : order) {
        SDirEntry& e = m_entries[i];
        CDirInformation* pDir = m_factory.NewDirectory();
        pDir->Set(std::move(m_names[i]), CTime(e.nCreation), 0, 0);
        if (pLast == nullptr)
            pNode->m_pFirstSubDir = pDir;
        else
            pLast->m_pNextDir = pDir;
        pLast = pDir;
        if (m_option.m_bRecursive)
            subDirs.push_back({pDir, std::move(e.strRawName)});
    }
}

void CDirectoryScanner::ReportProgress(bool bFinal) {
    if (!m_fnProgress)
        return;
    if (bFinal || m_nEntriesRead >= m_nNextReport) {
        m_fnProgress(m_nEntriesRead);
        m_nNextReport = m_nEntriesRead + m_nProgressEvery;
    }
}

// The working directory ends in the parent of the chosen directory, as callers expect.
void CDirectoryScanner::MoveToParentOf(const std::string& strPath) {
    if (chdir(strPath.c_str()) == 0) {
        if (chdir("..") == 0)
            return;
    }
    // Not enterable: fall back to the parent by name.
    std::error_code ec;
    std::filesystem::path absolute = std::filesystem::absolute(strPath, ec);
    if (ec)
        return;
    std::filesystem::path normal = absolute.lexically_normal();
    if (!normal.has_filename())
        normal = normal.parent_path(); // "/a/b/" names the same directory as "/a/b"
    const std::filesystem::path parent = normal.parent_path();
    if (!parent.empty() && chdir(parent.c_str()) != 0) {
        // Nothing more to do: the working directory stays where it was.
    }
}
