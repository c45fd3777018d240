#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <system_error>
#include <thread>
#include <unordered_map>
#include <vector>

#include "scan/DirHandleSet.h"
#include "scan/DirectoryFill.h"
#include "scan/DirectoryScanner.h"
#include "scan/EntryFilter.h"
#include "platform/DirReader.h"

struct SScanSettings {
    bool bRecursive = false;
    unsigned nThreads = 1;    // threads to start with
    unsigned nMaxThreads = 1; // more are started, up to this, while reads wait for the disk
    SWorkProgress* pProgress = nullptr;
    CDirectoryScanner::ProgressFn fnProgress; // called only on the thread that runs the scan
    std::uint64_t nProgressEvery = 8192;
    bool bReadLinkTargets = false;
    EHashAlgorithm eHash = EHashAlgorithm::None;
    std::atomic<std::uint64_t>* pBytesHashed = nullptr; // grows with the bytes hashed
    const CEntryFilter* pFilter = nullptr; // entries left out by name; null: none
    bool bStatFiles = true;      // false: files get no status read where the kind is known
    bool bOneFileSystem = false; // directories on another file system are not entered
    int nReadDepth = -1;         // levels read below the root; -1: all
};

// One scan of a tree. Directories still to be read wait on a stack shared by the calling
// thread and the helper threads; whoever reads a directory reads it completely, sorts and
// links its entries, and puts its subdirectories on the stack. A very large directory has
// its entries examined in chunks by every thread. Which thread reads what never changes the
// tree.
class CScanSession {
public:
    CScanSession(CKWLItemFactory& factory, SScanSettings settings);
    CScanSession(const CScanSession&) = delete;
    CScanSession& operator=(const CScanSession&) = delete;
    ~CScanSession();

    // Reads the directory opened as strPath into pRoot and, when recursive, all below it.
    void Run(CDirReader root, const std::string& strPath, CDirInformation* pRoot);

    std::uint64_t GetEntriesRead() const { return m_nEntries.load(std::memory_order_relaxed); }
    bool WasCancelled() const { return m_bCancelled.load(std::memory_order_relaxed); }
    // The directories that could not be opened or read completely, in listing order.
    std::vector<SScanError> TakeErrors(const CDirInformation* pRoot);
    // The texts of the symbolic links read, when the settings asked for them.
    CLinkTargets TakeLinkTargets();
    // The content hashes taken, when the settings asked for them.
    CContentHashes TakeContentHashes();

private:
    class CWorker;
    class CEntryBatch;

    // A subdirectory to be read into pNode; the work on it is over when the job goes.
    struct SJob {
        CDirInformation* pNode = nullptr;
        CDirHandleSet::CSubDirLease lease;
        int nDepth = 0;                    // the root's subdirectories are at 1
        CEntryFilter::CDirState filterState; // where the anchored patterns stand
    };
    // A directory to read, or a share in the entries of a large one.
    struct STask {
        SJob job;
        std::shared_ptr<CEntryBatch> pBatch;
    };

    void WorkerLoop(CWorker& worker);
    bool TakeTask(CWorker& worker, STask& task);
    void PushTasks(std::vector<STask>& tasks);
    void StartHelpers();
    bool StartHelper();
    void GrowWhileWaiting();

    void ReadJob(CWorker& worker, SJob& job);
    void ReadDirectory(CWorker& worker, CDirReader& reader, CDirInformation* pNode,
                       const SJob* pJob);
    void MakeRange(CWorker& worker, const CDirReader& reader, const CDirNames& names,
                   const CEntryFilter::CDirState* pState, std::size_t nBegin, std::size_t nEnd,
                   SMadeEntries& made);
    bool IsEnteredAt(const SMadeEntries::SDir& dir, int nDepth) const;
    void QueueSubDirs(CWorker& worker, CDirReader& reader, SJob* pJob);

    bool ShouldStop();
    void AddEntries(std::uint64_t nCount);
    void ReportProgressIfDue();
    void RecordError(const CDirInformation* pNode, const SJob* pJob, std::error_code error);

    CKWLItemFactory& m_factory;
    const SScanSettings m_settings;
    unsigned m_nThreads = 1;
    unsigned m_nMaxThreads = 1;
    std::atomic<unsigned> m_nStarted{1}; // threads working on the scan, the calling one included
    std::uint64_t m_nFlushEvery = 1024;
    std::string m_strRootPath;
    CEntryFilter::CDirState m_rootFilterState;
    std::uint64_t m_nRootDevice = 0;
    std::unique_ptr<CDirHandleSet> m_pHandles;

    std::mutex m_mutex; // the task stack and the busy count
    std::condition_variable m_changed;
    std::vector<STask> m_tasks;
    std::size_t m_nBusy = 0;            // tasks being worked on: more may come while this is not 0
    std::vector<std::thread> m_helpers; // guarded by m_mutex once helpers run
    bool m_bHelpersStarted = false;

    std::atomic<bool> m_bStop{false};
    std::atomic<bool> m_bCancelled{false};
    std::atomic<std::uint64_t> m_nEntries{0};
    std::uint64_t m_nNextReport = 0;

    void RecordFileResults(SMadeEntries& made, const CDirInformation* pNode, const SJob* pJob);

    std::mutex m_recordMutex; // the errors, the link texts and the hashes
    std::unordered_map<const CDirInformation*, SScanError> m_errors;
    // Files whose content could not be read for their hash, by their directory.
    std::unordered_map<const CDirInformation*,
                       std::vector<std::pair<const CFileInformation*, SScanError>>>
        m_fileErrors;
    std::size_t m_nFileErrors = 0;
    CLinkTargets m_linkTargets;
    CContentHashes m_hashes;
};
