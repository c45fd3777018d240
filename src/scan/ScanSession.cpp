#include "scan/ScanSession.h"

#include <algorithm>
#include <chrono>
#include <system_error>
#include <utility>

#include "platform/ThreadSwitches.h"


namespace {

// Directories of at least this many entries are shared out among the threads, in chunks.
constexpr std::size_t kShareFrom = 4096;
constexpr std::size_t kChunkSize = 1024;
// How often the scanning thread looks at the count while it waits for work.
constexpr auto kIdleReportEvery = std::chrono::milliseconds(50);
// A thread that gives up its core at least once per this many entries while it works is
// waiting for the disk (a warm cache lets it run through thousands).
constexpr std::uint64_t kEntriesPerWait = 128;
constexpr std::uint64_t kJudgeEvery = 512; // entries between two judgements

// The errors of pDir's files, in the order of its file list.
void AppendInFileOrder(const CDirInformation* pDir,
                       std::vector<std::pair<const CFileInformation*, SScanError>>& fileErrors,
                       std::vector<SScanError>& errors) {
    std::unordered_map<const CFileInformation*, SScanError*> byNode;
    for (auto& [pFile, error] : fileErrors)
        byNode.emplace(pFile, &error);
    for (const CFileInformation* p = pDir->m_pFirstFile; p != nullptr; p = p->m_pNextFile) {
        if (auto it = byNode.find(p); it != byNode.end())
            errors.push_back(std::move(*it->second));
    }
}

} // namespace

// What one thread needs to read directories: nodes of its own, scratch space reused from
// one directory to the next, and entries counted locally until there are enough to report.
class CScanSession::CWorker {
public:
    CWorker(CScanSession& session, bool bReports)
        : m_source(session.m_factory), m_session(session), m_bReports(bReports) {
        const SScanSettings& settings = session.m_settings;
        if (settings.eHash != EHashAlgorithm::None)
            m_pHasher = std::make_unique<CContentHasher>(settings.eHash);
        m_reading.bReadLinkTargets = settings.bReadLinkTargets;
        m_reading.pHasher = m_pHasher.get();
        m_reading.pBytesHashed = settings.pBytesHashed;
        m_reading.pFilter = settings.pFilter;
        m_reading.bStatFiles = settings.bStatFiles;
    }
    CWorker(const CWorker&) = delete;
    CWorker& operator=(const CWorker&) = delete;
    ~CWorker() { Flush(); }

    void CountEntry() {
        ++m_nCounted;
        if (++m_nUncounted >= m_session.m_nFlushEvery)
            Flush();
    }

    // Around one task in four (the measure is a system call): how often the thread waited
    // while it worked. True when that says it is waiting for the disk.
    void BeginTask() {
        m_bMeasuring = ++m_nTasks % 4 == 0;
        if (m_bMeasuring) {
            m_nSwitchesBefore = VoluntarySwitches();
            m_nCountedBefore = m_nCounted;
        }
    }
    bool EndTaskWaitedForReads() {
        if (!m_bMeasuring)
            return false;
        m_nWaits +=
            static_cast<std::uint64_t>(std::max(0L, VoluntarySwitches() - m_nSwitchesBefore));
        m_nJudged += m_nCounted - m_nCountedBefore;
        if (m_nJudged < kJudgeEvery)
            return false;
        const bool bWaiting = m_nWaits * kEntriesPerWait >= m_nJudged;
        m_nWaits = m_nJudged = 0;
        return bWaiting;
    }
    void Flush() {
        if (m_nUncounted > 0) {
            m_session.AddEntries(m_nUncounted);
            m_nUncounted = 0;
        }
        if (m_bReports)
            m_session.ReportProgressIfDue();
    }
    bool Reports() const { return m_bReports; }

    CNodeSource m_source;
    CDirNames m_names;
    SMadeEntries m_made;
    std::unique_ptr<CContentHasher> m_pHasher; // when hashes are asked for
    SEntryReading m_reading;

private:
    CScanSession& m_session;
    const bool m_bReports;
    std::uint64_t m_nUncounted = 0;
    std::uint64_t m_nCounted = 0;
    std::uint64_t m_nTasks = 0;
    bool m_bMeasuring = false;
    long m_nSwitchesBefore = 0;
    std::uint64_t m_nCountedBefore = 0;
    std::uint64_t m_nWaits = 0;
    std::uint64_t m_nJudged = 0;
};

// The entries of one large directory, examined in chunks by whichever threads take a share;
// the results are put together in enumeration order, so the outcome is the same as reading
// them all on one thread.
class CScanSession::CEntryBatch {
public:
    CEntryBatch(const CDirReader& reader, const CDirNames& names,
                const CEntryFilter::CDirState* pState)
        : m_reader(reader), m_names(names), m_pState(pState),
          m_nChunks((names.Count() + kChunkSize - 1) / kChunkSize), m_results(m_nChunks) {}

    std::size_t ChunkCount() const { return m_nChunks; }

    // Takes chunks until none is left. A share taken after that touches nothing else, so
    // it is harmless once the owner has moved on.
    void Work(CScanSession& session, CWorker& worker) {
        for (;;) {
            const std::size_t nChunk = m_nNext.fetch_add(1, std::memory_order_relaxed);
            if (nChunk >= m_nChunks)
                return;
            const std::size_t nBegin = nChunk * kChunkSize;
            const std::size_t nEnd = std::min(nBegin + kChunkSize, m_names.Count());
            session.MakeRange(worker, m_reader, m_names, m_pState, nBegin, nEnd,
                              m_results[nChunk]);
            std::lock_guard lock(m_mutex);
            if (++m_nDone == m_nChunks)
                m_allDone.notify_all();
        }
    }

    void WaitAndCollect(SMadeEntries& made) {
        std::unique_lock lock(m_mutex);
        m_allDone.wait(lock, [this] { return m_nDone == m_nChunks; });
        for (const SMadeEntries& chunk : m_results)
            made.Append(chunk);
    }

private:
    const CDirReader& m_reader;
    const CDirNames& m_names;
    const CEntryFilter::CDirState* m_pState;
    const std::size_t m_nChunks;
    std::vector<SMadeEntries> m_results;
    std::atomic<std::size_t> m_nNext{0};
    std::mutex m_mutex;
    std::condition_variable m_allDone;
    std::size_t m_nDone = 0;
};

CScanSession::CScanSession(CKWLItemFactory& factory, SScanSettings settings)
    : m_factory(factory), m_settings(std::move(settings)) {
    m_nFlushEvery = std::clamp<std::uint64_t>(m_settings.nProgressEvery, 1, 1024);
    m_nNextReport = std::max<std::uint64_t>(m_settings.nProgressEvery, 1);
    // Each thread holds open the directory it reads or the one it is opening, and one more
    // is kept spare; the rest of what the process may still open (less a margin for the
    // program's other files) is for the directories whose subdirectories are yet to be opened.
    const std::size_t nFree = FreeDescriptorCount();
    const std::size_t nMargin = std::min<std::size_t>(8, nFree / 4);
    const std::size_t nUsable = nFree > nMargin ? nFree - nMargin : 1;
    const std::size_t nThreadsFit = std::max<std::size_t>(1, nUsable / 4);
    m_nThreads =
        static_cast<unsigned>(std::clamp<std::size_t>(m_settings.nThreads, 1, nThreadsFit));
    m_nMaxThreads = static_cast<unsigned>(
        std::clamp<std::size_t>(m_settings.nMaxThreads, m_nThreads, nThreadsFit));
    const std::size_t nHeld = nUsable > m_nMaxThreads + 1 ? nUsable - m_nMaxThreads - 1 : 0;
    m_pHandles = std::make_unique<CDirHandleSet>(std::clamp<std::size_t>(nHeld, 2, 1024));
}

CScanSession::~CScanSession() {
    for (std::thread& helper : m_helpers)
        if (helper.joinable())
            helper.join();
}

void CScanSession::Run(CDirReader reader, const std::string& strPath, CDirInformation* pRoot) {
    m_strRootPath = strPath;
    if (m_settings.pFilter != nullptr)
        m_rootFilterState = m_settings.pFilter->RootState();
    if (SEntryStatus status; m_settings.bOneFileSystem && !reader.StatSelf(status))
        m_nRootDevice = status.identity.nDevice;
    {
        CWorker worker(*this, true);
        {
            std::lock_guard lock(m_mutex);
            m_nBusy = 1;
        }
        ReadDirectory(worker, reader, pRoot, nullptr);
        QueueSubDirs(worker, reader, nullptr);
        {
            std::lock_guard lock(m_mutex);
            --m_nBusy;
        }
        m_changed.notify_all();
        WorkerLoop(worker);
        // No task is left, so no helper can start another one now.
        for (std::thread& helper : m_helpers)
            helper.join();
        m_helpers.clear();
    }
    if (m_settings.fnProgress)
        m_settings.fnProgress(GetEntriesRead());
}

void CScanSession::StartHelpers() {
    m_bHelpersStarted = true;
    std::lock_guard lock(m_mutex);
    for (unsigned i = 1; i < m_nThreads; ++i)
        if (!StartHelper())
            break; // fewer threads do the same work
}

// Called with m_mutex held.
bool CScanSession::StartHelper() {
    try {
        m_helpers.reserve(m_helpers.size() + 1);
        m_helpers.emplace_back([this] {
            CWorker worker(*this, false);
            WorkerLoop(worker);
        });
    } catch (const std::exception&) {
        return false;
    }
    m_nStarted.fetch_add(1, std::memory_order_relaxed);
    return true;
}

// Threads that wait for the disk leave the cores idle, and the disk serves many reads at
// once faster than one after another: one more thread, while there is work for it.
void CScanSession::GrowWhileWaiting() {
    std::lock_guard lock(m_mutex);
    if (m_nStarted.load(std::memory_order_relaxed) < m_nMaxThreads && !m_tasks.empty())
        StartHelper();
}

void CScanSession::WorkerLoop(CWorker& worker) {
    STask task;
    while (TakeTask(worker, task)) {
        // Once every thread allowed runs, the waits need no more counting (a system call).
        const bool bMayGrow = m_nStarted.load(std::memory_order_relaxed) < m_nMaxThreads;
        if (bMayGrow)
            worker.BeginTask();
        if (task.pBatch != nullptr)
            task.pBatch->Work(*this, worker);
        else
            ReadJob(worker, task.job);
        task = STask{};
        worker.Flush();
        if (bMayGrow && worker.EndTaskWaitedForReads())
            GrowWhileWaiting();
        bool bAllDone = false;
        {
            std::lock_guard lock(m_mutex);
            bAllDone = --m_nBusy == 0 && m_tasks.empty();
        }
        if (bAllDone)
            m_changed.notify_all();
    }
}

// Waits for a task; false when there is none left and none can come.
bool CScanSession::TakeTask(CWorker& worker, STask& task) {
    std::unique_lock lock(m_mutex);
    for (;;) {
        if (!m_tasks.empty()) {
            task = std::move(m_tasks.back());
            m_tasks.pop_back();
            ++m_nBusy;
            return true;
        }
        if (m_nBusy == 0)
            return false;
        if (worker.Reports()) {
            m_changed.wait_for(lock, kIdleReportEvery);
            lock.unlock();
            worker.Flush();
            lock.lock();
        } else {
            m_changed.wait(lock);
        }
    }
}

// The last task pushed is taken first: subdirectories are read depth first, which keeps
// few directories waiting and their descriptors few.
void CScanSession::PushTasks(std::vector<STask>& tasks) {
    if (tasks.empty())
        return;
    if (!m_bHelpersStarted && m_nThreads > 1)
        StartHelpers(); // only the thread that runs the scan pushes before helpers exist
    {
        std::lock_guard lock(m_mutex);
        for (auto it = tasks.rbegin(); it != tasks.rend(); ++it)
            m_tasks.push_back(std::move(*it));
    }
    tasks.clear();
    m_changed.notify_all();
}

// The job's lease, which goes with the job, tells the handle set that the work is over.
void CScanSession::ReadJob(CWorker& worker, SJob& job) {
    if (ShouldStop())
        return;
    CFileDescriptor fd;
    if (const std::error_code ec = job.lease.Open(fd)) {
        RecordError(job.pNode, &job, ec);
        return;
    }
    CDirReader reader(std::move(fd));
    ReadDirectory(worker, reader, job.pNode, &job);
    QueueSubDirs(worker, reader, &job);
}

void CScanSession::ReadDirectory(CWorker& worker, CDirReader& reader, CDirInformation* pNode,
                                 const SJob* pJob) {
    CDirNames& names = worker.m_names;
    if (const std::error_code ec = reader.ReadNames(names, [this] { return !ShouldStop(); }))
        RecordError(pNode, pJob, ec);
    SMadeEntries& made = worker.m_made;
    made.Clear();
    const CEntryFilter::CDirState* pState = pJob == nullptr ? &m_rootFilterState : &pJob->filterState;
    const unsigned nStarted = std::max(m_nThreads, m_nStarted.load(std::memory_order_relaxed));
    if (names.Count() >= kShareFrom && nStarted > 1) {
        auto pBatch = std::make_shared<CEntryBatch>(reader, names, pState);
        std::vector<STask> shares(std::min<std::size_t>(nStarted - 1, pBatch->ChunkCount() - 1));
        for (STask& share : shares)
            share.pBatch = pBatch;
        PushTasks(shares);
        pBatch->Work(*this, worker);
        pBatch->WaitAndCollect(made);
    } else {
        MakeRange(worker, reader, names, pState, 0, names.Count(), made);
    }
    if (made.error)
        RecordError(pNode, pJob, made.error);
    SortAndLink(made, pNode);
    RecordFileResults(made, pNode, pJob);
}

// Link texts, hashes, and files whose content could not be read for a hash.
void CScanSession::RecordFileResults(SMadeEntries& made, const CDirInformation* pNode,
                                     const SJob* pJob) {
    if (made.linkTargets.empty() && made.hashes.empty() && made.unhashed.empty())
        return;
    std::lock_guard lock(m_recordMutex);
    for (auto& [pFile, strTarget] : made.linkTargets)
        m_linkTargets.try_emplace(pFile, std::move(strTarget));
    for (const auto& [pFile, digest] : made.hashes)
        m_hashes.try_emplace(pFile, digest);
    if (made.unhashed.empty())
        return;
    const std::string& strDir = pJob == nullptr ? m_strRootPath : pJob->lease.Path();
    auto& fileErrors = m_fileErrors[pNode];
    for (const auto& [pFile, nErrno] : made.unhashed) {
        std::string strPath = strDir;
        if (!strPath.empty() && strPath.back() != '/')
            strPath += '/';
        strPath += pFile->m_strName;
        fileErrors.emplace_back(pFile, SScanError{std::move(strPath), nErrno});
    }
    m_nFileErrors += made.unhashed.size();
}

void CScanSession::MakeRange(CWorker& worker, const CDirReader& reader, const CDirNames& names,
                             const CEntryFilter::CDirState* pState, std::size_t nBegin,
                             std::size_t nEnd, SMadeEntries& made) {
    ReserveNodes(worker.m_source, names, nBegin, nEnd);
    for (std::size_t i = nBegin; i < nEnd && !ShouldStop(); ++i) {
        if (MakeEntry(worker.m_source, reader, names, i, worker.m_reading, pState, made))
            worker.CountEntry();
    }
}

// The subdirectories just linked below the directory that reader reads (in name order),
// with its descriptor kept to open them from.
void CScanSession::QueueSubDirs(CWorker& worker, CDirReader& reader, SJob* pJob) {
    const SMadeEntries& made = worker.m_made;
    if (!m_settings.bRecursive || made.dirs.empty() || ShouldStop())
        return;
    const int nDepth = pJob == nullptr ? 1 : pJob->nDepth + 1;
    std::vector<const SMadeEntries::SDir*> entered;
    for (const SMadeEntries::SDir& dir : made.dirs)
        if (IsEnteredAt(dir, nDepth))
            entered.push_back(&dir);
    if (entered.empty())
        return;
    CDirHandleSet::CLeaseBatch leases =
        pJob == nullptr
            ? m_pHandles->AddRoot(reader.TakeDescriptor(), m_strRootPath, entered.size())
            : m_pHandles->Add(std::move(pJob->lease), reader.TakeDescriptor(), entered.size());
    const CEntryFilter::CDirState& state = pJob == nullptr ? m_rootFilterState : pJob->filterState;
    std::vector<STask> tasks(entered.size());
    for (std::size_t i = 0; i < entered.size(); ++i) {
        const char* pszName = worker.m_names.Name(entered[i]->nIndex);
        SJob& job = tasks[i].job;
        job.pNode = entered[i]->pNode;
        job.nDepth = nDepth;
        if (!state.empty())
            job.filterState = m_settings.pFilter->ChildState(state, pszName);
        job.lease = leases.Take(pszName, entered[i]->identity);
    }
    PushTasks(tasks);
}

// A subdirectory at nDepth is read unless it lies at the depth limit or, with -x, on another
// file system (it is then listed as an empty directory).
bool CScanSession::IsEnteredAt(const SMadeEntries::SDir& dir, int nDepth) const {
    if (m_settings.nReadDepth >= 0 && nDepth >= m_settings.nReadDepth)
        return false;
    return !m_settings.bOneFileSystem || dir.identity.nDevice == m_nRootDevice;
}

bool CScanSession::ShouldStop() {
    if (m_bStop.load(std::memory_order_relaxed))
        return true;
    if (m_settings.pProgress != nullptr && m_settings.pProgress->IsCancelled()) {
        m_bCancelled.store(true, std::memory_order_relaxed);
        m_bStop.store(true, std::memory_order_relaxed);
        return true;
    }
    return false;
}

void CScanSession::AddEntries(std::uint64_t nCount) {
    m_nEntries.fetch_add(nCount, std::memory_order_relaxed);
    if (m_settings.pProgress != nullptr)
        m_settings.pProgress->Add(nCount);
}

void CScanSession::ReportProgressIfDue() {
    if (!m_settings.fnProgress)
        return;
    const std::uint64_t nNow = GetEntriesRead();
    if (nNow >= m_nNextReport) {
        m_settings.fnProgress(nNow);
        m_nNextReport = nNow + std::max<std::uint64_t>(m_settings.nProgressEvery, 1);
    }
}

// One record per directory, the first reason found.
void CScanSession::RecordError(const CDirInformation* pNode, const SJob* pJob,
                               std::error_code error) {
    std::string strPath = pJob == nullptr ? m_strRootPath : pJob->lease.Path();
    std::lock_guard lock(m_recordMutex);
    m_errors.try_emplace(pNode, SScanError{std::move(strPath), error.value()});
}

CLinkTargets CScanSession::TakeLinkTargets() {
    return std::exchange(m_linkTargets, {});
}

CContentHashes CScanSession::TakeContentHashes() {
    return std::exchange(m_hashes, {});
}

std::vector<SScanError> CScanSession::TakeErrors(const CDirInformation* pRoot) {
    std::vector<SScanError> errors;
    const std::size_t nAll = m_errors.size() + m_nFileErrors;
    if (nAll == 0)
        return errors;
    // Directories in listing order: each before its files and its subdirectories, siblings in
    // chain order.
    std::vector<const CDirInformation*> stack{pRoot};
    std::vector<const CDirInformation*> children;
    while (!stack.empty() && errors.size() < nAll) {
        const CDirInformation* pDir = stack.back();
        stack.pop_back();
        if (auto it = m_errors.find(pDir); it != m_errors.end())
            errors.push_back(std::move(it->second));
        if (auto it = m_fileErrors.find(pDir); it != m_fileErrors.end())
            AppendInFileOrder(pDir, it->second, errors);
        children.clear();
        for (const CDirInformation* p = pDir->m_pFirstSubDir; p != nullptr; p = p->m_pNextDir)
            children.push_back(p);
        stack.insert(stack.end(), children.rbegin(), children.rend());
    }
    m_errors.clear();
    m_fileErrors.clear();
    m_nFileErrors = 0;
    return errors;
}
