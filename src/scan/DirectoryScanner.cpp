#include "scan/DirectoryScanner.h"

#include <algorithm>
#include <system_error>
#include <thread>
#include <utility>

#include "scan/ScanSession.h"
#include "platform/DirReader.h"

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
    m_nEntriesRead = 0;
    m_bCancelled = false;
    m_errors.clear();
    if (pParent == nullptr || strPath.empty())
        return false;
    CDirReader reader;
    if (const std::error_code ec = reader.OpenPath(strPath)) {
        m_nOpenError = ec.value();
        if (m_fnProgress)
            m_fnProgress(0);
        return false;
    }
    SScanSettings settings;
    settings.bRecursive = m_option.m_bRecursive;
    // By default one thread per core, and up to four per core while reads wait for the disk
    // (a cold cache); a number that was set is kept to.
    const unsigned nCores = std::max(1u, std::thread::hardware_concurrency());
    settings.nThreads = m_nThreads != 0 ? m_nThreads : nCores;
    settings.nMaxThreads = m_nThreads != 0 ? m_nThreads : std::min(4 * nCores, 64u);
    settings.pProgress = m_pWorkProgress;
    settings.fnProgress = m_fnProgress;
    settings.nProgressEvery = m_nProgressEvery;
    CScanSession session(m_factory, std::move(settings));
    session.Run(std::move(reader), strPath, pParent);
    m_nEntriesRead = session.GetEntriesRead();
    m_bCancelled = session.WasCancelled();
    m_errors = session.TakeErrors(pParent);
    return true;
}
