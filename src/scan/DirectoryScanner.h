#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "model/ItemTree.h"
#include "model/KWLOption.h"
#include "model/ScanError.h"
#include "platform/WorkProgress.h"
#include "scan/EntryFilter.h"


// Reads a directory (and, with the recursive option, everything below it) into a tree.
// Subdirectories are read on several threads; each directory is still read whole and
// sorted on its own, so the tree is the same for any number of threads. Links are never
// followed; a directory that cannot be opened or read completely becomes an empty (or
// partial) node and is recorded; an entry that vanishes while it is read is skipped.
// Nothing here shows a message, and the working directory is never changed (the threads of a
// process share one).
class CDirectoryScanner {
public:
    using ProgressFn = std::function<void(std::uint64_t nEntriesRead)>;

    explicit CDirectoryScanner(const CKWLOption& option);

    // Called on the thread that scans, with the number of entries read so far, about every
    // nEvery entries and once at the end.
    void SetProgress(ProgressFn fnProgress, std::uint64_t nEvery = 8192);
    // Shared with a watcher on another thread: the scan adds the entries it reads to
    // nDone and stops soon after cancel is asked for, leaving a partial tree.
    void SetWorkProgress(SWorkProgress* pProgress) { m_pWorkProgress = pProgress; }
    // Threads that read directories; 1 reads everything on the calling thread. 0 (the
    // default) means one per processor core, and more, up to four per core, while the
    // reads keep waiting for the disk.
    void SetThreads(unsigned nThreads) { m_nThreads = nThreads; }
    // Reads the text of every symbolic link into the tree (see CItemTree::LinkTarget); off by
    // default, as only some outputs show it.
    void SetReadLinkTargets(bool bRead) { m_bReadLinkTargets = bRead; }
    // Hashes the content of every regular file into the tree (see CItemTree::ContentHash);
    // a file that cannot be read is recorded like a directory that cannot. None by default.
    void SetHashAlgorithm(EHashAlgorithm eHash) { m_eHash = eHash; }
    // Leaves out the entries that filter excludes: never examined where the name tells, a
    // directory never opened. The filter must outlive the scans. Null (the default): none.
    void SetFilter(const CEntryFilter* pFilter) { m_pFilter = pFilter; }
    // Lists a directory on another file system than the chosen one as an empty directory,
    // without entering it. Off by default.
    void SetOneFileSystem(bool bOne) { m_bOneFileSystem = bOne; }
    // Reads nLevels levels below the chosen directory (1: its own entries); -1 (the default):
    // everything. Directories at the limit are listed, not read.
    void SetReadDepth(int nLevels) { m_nReadDepth = nLevels; }
    // With false, a file whose kind the directory reports gets no status read (size 0, times
    // unknown): for outputs that show none of it. True by default.
    void SetStatFiles(bool bStat) { m_bStatFiles = bStat; }
    // Bytes hashed so far by the scan under way (or the last one); may be read from the
    // progress callback.
    std::uint64_t GetBytesHashed() const {
        return m_pBytesHashed->load(std::memory_order_relaxed);
    }

    // Hands tree's nodes back to its factory, scans strPath into a new root with nodes from the
    // same factory and completes the totals. The root gets the directory's times, not a name. Returns false when strPath is not a directory that
    // can be opened; the tree is then an empty root. An empty path scans nothing.
    bool RebuildTree(CItemTree& tree, const std::string& strPath);

    std::uint64_t GetEntriesRead() const { return m_nEntriesRead; }
    // errno of the failed open when RebuildTree returned false (0 for an empty path).
    int GetOpenError() const { return m_nOpenError; }
    // True when the last scan stopped early because cancel was asked for.
    bool WasCancelled() const { return m_bCancelled; }
    // The directories that the last scan could not open or read completely, in listing
    // order (the chosen one too when it could be opened but not read to its end), each
    // followed by its files whose content could not be read for a hash.
    const std::vector<SScanError>& GetScanErrors() const { return m_errors; }

private:
    bool ScanDirectory(CItemTree& tree, const std::string& strPath);

    const CKWLOption& m_option;
    ProgressFn m_fnProgress;
    std::uint64_t m_nProgressEvery = 8192;
    SWorkProgress* m_pWorkProgress = nullptr;
    unsigned m_nThreads = 0;
    bool m_bReadLinkTargets = false;
    EHashAlgorithm m_eHash = EHashAlgorithm::None;
    const CEntryFilter* m_pFilter = nullptr;
    bool m_bOneFileSystem = false;
    int m_nReadDepth = -1;
    bool m_bStatFiles = true;
    // Apart, so that the scanner stays movable.
    std::unique_ptr<std::atomic<std::uint64_t>> m_pBytesHashed =
        std::make_unique<std::atomic<std::uint64_t>>(0);

    std::uint64_t m_nEntriesRead = 0;
    int m_nOpenError = 0;
    bool m_bCancelled = false;
    std::vector<SScanError> m_errors;
};
