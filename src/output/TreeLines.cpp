#include "output/TreeLines.h"

#include <algorithm>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <mutex>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

namespace output_detail {

namespace {

// Lines per batch: enough that handing a batch over costs little beside rendering it, few
// enough that a batch's text stays near the sink's piece size.
constexpr std::uint64_t kBatchItems = 1024;
// Batches a thread may render ahead of the one being written, which bounds the text held.
constexpr std::size_t kAheadPerThread = 4;

constexpr std::uint64_t kAllFiles = UINT64_MAX;

// A run of consecutive lines of the walk: a directory's own line, or nFiles of its files from
// pFirstFile on (kAllFiles: to the end of its list).
struct SSpan {
    const CDirInformation* pDir = nullptr;
    const CFileInformation* pFirstFile = nullptr; // null: the directory's line
    std::uint64_t nFiles = 0;
    int nLevel = 0;
};

// Spans in walk order, cut into batches of about kBatchItems lines.
struct SPlan {
    std::vector<SSpan> spans;
    std::vector<std::size_t> batchEnds; // the span after each batch
    std::uint64_t nInBatch = 0;

    void EndBatchIfFull() {
        if (nInBatch >= kBatchItems) {
            batchEnds.push_back(spans.size());
            nInBatch = 0;
        }
    }
    void AddDirectory(const CDirInformation& dir, int nLevel) {
        spans.push_back({&dir, nullptr, 0, nLevel});
        ++nInBatch;
        EndBatchIfFull();
    }
    // A directory of many files is cut too: one directory may hold most of the tree. Its
    // count tells which ones are few enough to take whole, without going through them here.
    void AddFiles(const CDirInformation& dir, int nLevel) {
        if (dir.m_pFirstFile == nullptr)
            return;
        const auto nCount = static_cast<std::uint64_t>(std::max(dir.m_nFileCount, 1));
        if (nInBatch + nCount < kBatchItems) {
            spans.push_back({&dir, dir.m_pFirstFile, kAllFiles, nLevel});
            nInBatch += nCount;
            return;
        }
        std::uint64_t nRun = 0;
        const CFileInformation* pRunStart = dir.m_pFirstFile;
        for (const CFileInformation* p = dir.m_pFirstFile; p != nullptr; p = p->m_pNextFile) {
            ++nRun;
            if (nInBatch + nRun >= kBatchItems) {
                spans.push_back({&dir, pRunStart, nRun, nLevel});
                nInBatch += nRun;
                EndBatchIfFull();
                nRun = 0;
                pRunStart = p->m_pNextFile;
            }
        }
        if (nRun > 0) {
            spans.push_back({&dir, pRunStart, nRun, nLevel});
            nInBatch += nRun;
        }
    }
    void Finish() {
        if (batchEnds.empty() || batchEnds.back() != spans.size())
            batchEnds.push_back(spans.size());
    }
};

// The order of WalkTree, going through the directories only: their files are runs.
SPlan PlanWalk(const CDirInformation& root, bool bDescend) {
    SPlan plan;
    std::vector<const CDirInformation*> open;
    const CDirInformation* pDir = root.m_pFirstSubDir;
    for (;;) {
        if (pDir != nullptr) {
            const int nLevel = static_cast<int>(open.size());
            plan.AddDirectory(*pDir, nLevel);
            if (bDescend && pDir->m_pFirstSubDir != nullptr) {
                open.push_back(pDir);
                pDir = pDir->m_pFirstSubDir;
                continue;
            }
            plan.AddFiles(*pDir, nLevel + 1);
            pDir = pDir->m_pNextDir;
            continue;
        }
        if (open.empty())
            break;
        const CDirInformation* pDone = open.back();
        open.pop_back();
        plan.AddFiles(*pDone, static_cast<int>(open.size()) + 1);
        pDir = pDone->m_pNextDir;
    }
    plan.AddFiles(root, 0);
    plan.Finish();
    return plan;
}

// Where a batch is rendered: a ring of these, one per batch that may be under way at once,
// each keeping its memory from one batch to the next.
struct SBatchSlot {
    std::size_t nBatch = 0;
    bool bDone = false;
    std::string strText;
    SRenderResult result;
    std::uint64_t nItems = 0;
    std::exception_ptr pError; // what rendering threw, thrown again where it is written
};

// Renders the batches of a plan on the calling thread and nHelpers more; the calling thread
// writes them in order and renders itself whichever batch comes next and no helper took.
class CBatchRendering {
public:
    CBatchRendering(const CKWLFormat& format, const SLineStyle& style, const SPlan& plan,
                    unsigned nHelpers)
        : m_format(format), m_style(style), m_plan(plan),
          m_slots(kAheadPerThread * (nHelpers + 1)) {
        for (unsigned i = 0; i < nHelpers; ++i) {
            try {
                m_helpers.emplace_back([this] { HelperLoop(); });
            } catch (const std::system_error&) {
                break; // fewer threads render the same batches
            }
        }
    }
    CBatchRendering(const CBatchRendering&) = delete;
    CBatchRendering& operator=(const CBatchRendering&) = delete;
    ~CBatchRendering() { StopHelpers(); }

    SRenderResult WriteAll(COutputSink& sink) {
        SRenderResult result;
        const std::size_t nBatches = m_plan.batchEnds.size();
        for (std::size_t i = 0; i < nBatches; ++i) {
            SBatchSlot& slot = TakeOrAwait(i);
            if (slot.pError)
                std::rethrow_exception(slot.pError);
            sink.Text() += slot.strText;
            result |= slot.result;
            const std::uint64_t nItems = slot.nItems;
            {
                std::lock_guard lock(m_mutex);
                m_nWritten = i + 1; // the slot is free for batch i + its count
            }
            m_changed.notify_all();
            if (!sink.ItemsDone(nItems))
                break;
        }
        return result;
    }

private:
    // Batch i, rendered here when no helper has taken it yet.
    SBatchSlot& TakeOrAwait(std::size_t i) {
        std::unique_lock lock(m_mutex);
        SBatchSlot& slot = m_slots[i % m_slots.size()];
        if (m_nNext == i) {
            ++m_nNext;
            slot.nBatch = i;
            lock.unlock();
            Render(i, slot);
            return slot;
        }
        m_changed.wait(lock, [&] { return slot.nBatch == i && slot.bDone; });
        return slot;
    }

    void HelperLoop() {
        for (;;) {
            std::size_t i = 0;
            {
                std::unique_lock lock(m_mutex);
                m_changed.wait(lock, [this] {
                    return m_bStop || m_nNext >= m_plan.batchEnds.size() ||
                           m_nNext < m_nWritten + m_slots.size();
                });
                if (m_bStop || m_nNext >= m_plan.batchEnds.size())
                    return;
                i = m_nNext++;
                m_slots[i % m_slots.size()].nBatch = i;
                m_slots[i % m_slots.size()].bDone = false;
            }
            SBatchSlot& slot = m_slots[i % m_slots.size()];
            Render(i, slot);
            {
                std::lock_guard lock(m_mutex);
                slot.bDone = true;
            }
            m_changed.notify_all();
        }
    }

    // Called without the lock: the slot's taker alone touches its text and results until bDone.
    void Render(std::size_t i, SBatchSlot& slot) {
        slot.strText.clear();
        slot.result = {};
        slot.nItems = 0;
        slot.pError = nullptr;
        try {
            COutputSink sink(slot.strText);
            CLineRenderer lines(sink, m_format, m_style);
            const std::size_t nBegin = i == 0 ? 0 : m_plan.batchEnds[i - 1];
            for (std::size_t n = nBegin; n < m_plan.batchEnds[i]; ++n) {
                const SSpan& span = m_plan.spans[n];
                if (span.pFirstFile == nullptr) {
                    lines(*span.pDir, span.nLevel);
                    ++slot.nItems;
                    continue;
                }
                const CFileInformation* pFile = span.pFirstFile;
                for (std::uint64_t k = 0; k < span.nFiles && pFile != nullptr;
                     ++k, pFile = pFile->m_pNextFile) {
                    lines(*pFile, span.nLevel);
                    ++slot.nItems;
                }
            }
            slot.result = lines.Result();
        } catch (...) {
            slot.pError = std::current_exception();
        }
    }

    void StopHelpers() {
        {
            std::lock_guard lock(m_mutex);
            m_bStop = true;
        }
        m_changed.notify_all();
        for (std::thread& helper : m_helpers)
            helper.join();
    }

    const CKWLFormat& m_format;
    const SLineStyle& m_style;
    const SPlan& m_plan;
    std::vector<SBatchSlot> m_slots; // batch i in slot i modulo their count

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::size_t m_nNext = 0;    // the first batch that nobody has taken
    std::size_t m_nWritten = 0; // batches handed to the sink
    bool m_bStop = false;
    std::vector<std::thread> m_helpers; // joined by the destructor, before the rest goes
};

} // namespace

SRenderResult WriteTreeLines(COutputSink& sink, const CKWLFormat& format,
                             const CDirInformation& root, bool bDescend, const SLineStyle& style) {
    const SPlan plan = PlanWalk(root, bDescend);
    const unsigned nCores = std::max(1u, std::thread::hardware_concurrency());
    const std::size_t nHelpers = std::min<std::size_t>(nCores, plan.batchEnds.size()) - 1;
    CBatchRendering rendering(format, style, plan, static_cast<unsigned>(nHelpers));
    return rendering.WriteAll(sink);
}

} // namespace output_detail
