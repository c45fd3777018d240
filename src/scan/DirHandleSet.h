#pragma once

#include <cstddef>
#include <deque>
#include <mutex>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>

#include "platform/DirReader.h"
#include "platform/FileDescriptor.h"

// The directories that a scan still has to open subdirectories from, holding at most about
// nMaxOpen descriptors at once however deep the tree is. A directory whose descriptor was
// closed to stay within that bound is opened again, name by name and never through a link,
// from its nearest open ancestor when one of its subdirectories is due, and only if it is
// still the directory that was read. Every open goes through one place, which keeps the
// directory it opens from open meanwhile and, when the process runs out of descriptors,
// closes the least recently used idle one and tries again. Safe to use from several threads.
//
// A subdirectory to be opened is held by a lease (CSubDirLease): while the lease lasts, its
// directory stays known to the set; the lease's end tells the set that the work on that
// subdirectory is over, whether it was opened or not.
class CDirHandleSet {
    struct SHandle;

public:
    class CSubDirLease;
    class CLeaseBatch;

    explicit CDirHandleSet(std::size_t nMaxOpen) : m_nMaxOpen(nMaxOpen) {}
    CDirHandleSet(const CDirHandleSet&) = delete;
    CDirHandleSet& operator=(const CDirHandleSet&) = delete;

    // The chosen directory, read through fd and opened as strPath; its descriptor stays open
    // until the set goes. Hands out one lease for each of its nSubDirs subdirectories (none,
    // and the directory is not kept, when there are none).
    CLeaseBatch AddRoot(CFileDescriptor fd, std::string strPath, std::size_t nSubDirs);
    // The subdirectory that lease opened, read through fd, which takes the lease's place below
    // its parent. Hands out one lease for each of its nSubDirs subdirectories (with none, the
    // directory is not kept and the lease stays the caller's).
    CLeaseBatch Add(CSubDirLease&& lease, CFileDescriptor fd, std::size_t nSubDirs);

    // Descriptors held right now.
    std::size_t OpenCount() const;

private:
    class CPin;

    struct SHandle {
        SHandle* pParent = nullptr;
        std::string strName; // raw name below the parent; for the root, the path as given
        SFileIdentity identity;
        CFileDescriptor fd;
        std::size_t nUnopened = 0; // subdirectories still to be opened from it
        std::size_t nRefs = 0;     // leases not ended, plus handles below it
        int nPins = 0;             // opens from its descriptor going on right now
        bool bListed = false;      // in the least-recently-used list
        SHandle* pOlder = nullptr;
        SHandle* pNewer = nullptr;
        SHandle* pNextFree = nullptr; // once released: the next handle to reuse
    };

    SHandle* NewHandle(SHandle* pParent, std::string strName, SFileIdentity identity,
                       CFileDescriptor fd, std::size_t nSubDirs);
    std::error_code OpenSubDir(SHandle* pDir, const char* pszRawName, CFileDescriptor& fd);
    void EndLeases(SHandle* pDir, std::size_t nLeases, std::size_t nUnopened);
    std::error_code EnsureOpen(std::unique_lock<std::mutex>& lock, SHandle* pDir);
    std::error_code OpenBelow(std::unique_lock<std::mutex>& lock, SHandle* pBase,
                              const char* pszRawName, CFileDescriptor& fd);
    void Register(SHandle* pHandle);
    void Unregister(SHandle* pHandle);
    void Touch(SHandle* pHandle);
    bool EvictOne(SHandle* pKeep);
    void CloseIfIdle(SHandle* pHandle);
    void Release(SHandle* pHandle, std::size_t nRefs);
    static std::string PathOf(const SHandle* pDir, std::string_view strRawName);

    mutable std::mutex m_mutex;
    const std::size_t m_nMaxOpen;
    std::size_t m_nOpen = 0;
    std::deque<SHandle> m_handles; // every handle, in use or free; closes what is still open
    SHandle* m_pFree = nullptr;
    SHandle* m_pRoot = nullptr;
    // Open handles other than the root, least recently used first.
    SHandle* m_pOldest = nullptr;
    SHandle* m_pNewest = nullptr;
};

// The right to open one subdirectory of a directory in the set, and the duty to say when the
// work on it is over: that is the lease's end (or the Add that puts the subdirectory itself in
// the set). Movable, not copyable; an empty lease holds nothing.
class CDirHandleSet::CSubDirLease {
public:
    CSubDirLease() = default;
    CSubDirLease(CSubDirLease&& other) noexcept;
    CSubDirLease& operator=(CSubDirLease&& other) noexcept;
    CSubDirLease(const CSubDirLease&) = delete;
    CSubDirLease& operator=(const CSubDirLease&) = delete;
    ~CSubDirLease() { End(); }

    // Opens the subdirectory into fd (once per lease); never follows a link.
    std::error_code Open(CFileDescriptor& fd);
    // The chosen directory's path joined with the raw names from there down to this
    // subdirectory.
    std::string Path() const;

private:
    friend class CDirHandleSet;

    CSubDirLease(CDirHandleSet& set, SHandle* pParent, std::string strRawName,
                 SFileIdentity identity)
        : m_pSet(&set), m_pParent(pParent), m_strRawName(std::move(strRawName)),
          m_identity(identity) {}
    void End() noexcept;

    CDirHandleSet* m_pSet = nullptr; // null: empty
    SHandle* m_pParent = nullptr;
    std::string m_strRawName;
    SFileIdentity m_identity; // what the subdirectory was when its parent was read
    bool m_bOpened = false;
};

// The leases for the subdirectories of one directory in the set, taken one by one; those not
// taken when it goes are ended with it.
class CDirHandleSet::CLeaseBatch {
public:
    CLeaseBatch() = default;
    CLeaseBatch(CLeaseBatch&& other) noexcept;
    CLeaseBatch& operator=(CLeaseBatch&&) = delete;
    CLeaseBatch(const CLeaseBatch&) = delete;
    CLeaseBatch& operator=(const CLeaseBatch&) = delete;
    ~CLeaseBatch();

    // The lease for the subdirectory strRawName, which was identity when it was read; an
    // empty lease once every lease is taken.
    CSubDirLease Take(std::string strRawName, SFileIdentity identity);

private:
    friend class CDirHandleSet;

    CLeaseBatch(CDirHandleSet& set, SHandle* pDir, std::size_t nLeases)
        : m_pSet(&set), m_pDir(pDir), m_nLeft(nLeases) {}

    CDirHandleSet* m_pSet = nullptr;
    SHandle* m_pDir = nullptr;
    std::size_t m_nLeft = 0;
};
