#include "scan/DirectoryScanner.h"

#include <algorithm>
#include <system_error>
#include <thread>
#include <utility>

#include "scan/ScanSession.h"
#include "platform/DirReader.h"

CDirectoryScanner::CDirectoryScanner(const CKWLOption& option) : m_option(option) {}

void CDirectoryScanner::SetProgress(ProgressFn fnProgress, std::uint64_t nEvery) {
    m_fnProgress = std::move(fnProgress);
    m_nProgressEvery = std::max<std::uint64_t>(nEvery, 1);
}

bool CDirectoryScanner::RebuildTree(CItemTree& tree, const std::string& strPath) {
    tree.Clear();
    const bool bOpened = ScanDirectory(tree, strPath);
    tree.Root()->ComputeTotals();
    return bOpened;
}

// Reads strPath into the tree's root, which gets the directory's times.
bool CDirectoryScanner::ScanDirectory(CItemTree& tree, const std::string& strPath) {
    m_nOpenError = 0;
    m_nEntriesRead = 0;
    m_bCancelled = false;
    m_errors.clear();
    if (strPath.empty())
        return false;
    CDirReader reader;
    if (const std::error_code ec = reader.OpenPath(strPath)) {
        m_nOpenError = ec.value();
        if (m_fnProgress)
            m_fnProgress(0);
        return false;
    }
    CDirInformation* pRoot = tree.Root();
    if (SEntryStatus status; !reader.StatSelf(status))
        SetTimes(*pRoot, status);
    SScanSettings settings;
    settings.bRecursive = m_option.m_bRecursive;
    settings.bReadLinkTargets = m_bReadLinkTargets;
    settings.eHash = m_eHash;
    settings.pFilter = m_pFilter != nullptr && !m_pFilter->IsEmpty() ? m_pFilter : nullptr;
    settings.bOneFileSystem = m_bOneFileSystem;
    settings.nReadDepth = m_nReadDepth;
    settings.bStatFiles = m_bStatFiles;
    m_pBytesHashed->store(0, std::memory_order_relaxed);
    settings.pBytesHashed = m_pBytesHashed.get();
    // By default one thread per core, and up to four per core while reads wait for the disk
    // (a cold cache); a number that was set is kept to.
    const unsigned nCores = std::max(1u, std::thread::hardware_concurrency());
    settings.nThreads = m_nThreads != 0 ? m_nThreads : nCores;
    settings.nMaxThreads = m_nThreads != 0 ? m_nThreads : std::min(4 * nCores, 64u);
    settings.pProgress = m_pWorkProgress;
    settings.fnProgress = m_fnProgress;
    settings.nProgressEvery = m_nProgressEvery;
    CScanSession session(tree.Factory(), std::move(settings));
    session.Run(std::move(reader), strPath, pRoot);
    m_nEntriesRead = session.GetEntriesRead();
    m_bCancelled = session.WasCancelled();
    m_errors = session.TakeErrors(pRoot);
    tree.SetLinkTargets(session.TakeLinkTargets());
    tree.SetContentHashes(m_eHash, session.TakeContentHashes());
    return true;
}
