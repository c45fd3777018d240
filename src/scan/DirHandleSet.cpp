#include "scan/DirHandleSet.h"

#include <utility>
#include <vector>

namespace {

bool IsOutOfDescriptors(std::error_code ec) {
    return ec == std::errc::too_many_files_open || ec == std::errc::too_many_files_open_in_system;
}

// A directory opened again by name must still be the one that was read: not renamed or
// replaced since.
std::error_code CheckSameDirectory(const CFileDescriptor& fd, const SFileIdentity& expected) {
    SFileIdentity actual;
    if (std::error_code ec = IdentityOf(fd, actual))
        return ec;
    return actual == expected ? std::error_code()
                              : std::make_error_code(std::errc::no_such_file_or_directory);
}

} // namespace

// Keeps a directory's descriptor open while the lock is not held; its end lets the
// descriptor go again when nothing else needs it. Made and ended with the lock held.
class CDirHandleSet::CPin {
public:
    CPin(CDirHandleSet& set, SHandle* pHandle) : m_set(set), m_pHandle(pHandle) {
        ++pHandle->nPins;
    }
    CPin(const CPin&) = delete;
    CPin& operator=(const CPin&) = delete;
    ~CPin() {
        --m_pHandle->nPins;
        m_set.CloseIfIdle(m_pHandle);
    }

private:
    CDirHandleSet& m_set;
    SHandle* m_pHandle;
};

// ---- CDirHandleSet ----

CDirHandleSet::CLeaseBatch CDirHandleSet::AddRoot(CFileDescriptor fd, std::string strPath,
                                                  std::size_t nSubDirs) {
    if (nSubDirs == 0)
        return {};
    std::lock_guard lock(m_mutex);
    m_pRoot = NewHandle(nullptr, std::move(strPath), {}, std::move(fd), nSubDirs);
    ++m_nOpen; // open for good, so never in the least-recently-used list
    return CLeaseBatch(*this, m_pRoot, nSubDirs);
}

CDirHandleSet::CLeaseBatch CDirHandleSet::Add(CSubDirLease&& lease, CFileDescriptor fd,
                                              std::size_t nSubDirs) {
    if (nSubDirs == 0 || lease.m_pSet != this)
        return {};
    std::lock_guard lock(m_mutex);
    // The lease's reference to the parent becomes the new handle's.
    SHandle* pHandle = NewHandle(lease.m_pParent, std::move(lease.m_strRawName), lease.m_identity,
                                 std::move(fd), nSubDirs);
    lease.m_pSet = nullptr;
    Register(pHandle);
    return CLeaseBatch(*this, pHandle, nSubDirs);
}

std::size_t CDirHandleSet::OpenCount() const {
    std::lock_guard lock(m_mutex);
    return m_nOpen;
}

CDirHandleSet::SHandle* CDirHandleSet::NewHandle(SHandle* pParent, std::string strName,
                                                 SFileIdentity identity, CFileDescriptor fd,
                                                 std::size_t nSubDirs) {
    SHandle* pHandle = m_pFree;
    if (pHandle != nullptr)
        m_pFree = std::exchange(pHandle->pNextFree, nullptr);
    else
        pHandle = &m_handles.emplace_back();
    pHandle->pParent = pParent;
    pHandle->strName = std::move(strName);
    pHandle->identity = identity;
    pHandle->fd = std::move(fd);
    pHandle->nUnopened = nSubDirs;
    pHandle->nRefs = nSubDirs;
    return pHandle;
}

std::error_code CDirHandleSet::OpenSubDir(SHandle* pDir, const char* pszRawName,
                                          CFileDescriptor& fd) {
    std::unique_lock lock(m_mutex);
    std::error_code ec = EnsureOpen(lock, pDir);
    if (!ec)
        ec = OpenBelow(lock, pDir, pszRawName, fd);
    --pDir->nUnopened;
    CloseIfIdle(pDir);
    return ec;
}

// nLeases leases on subdirectories of pDir are over, nUnopened of them without an open.
void CDirHandleSet::EndLeases(SHandle* pDir, std::size_t nLeases, std::size_t nUnopened) {
    std::lock_guard lock(m_mutex);
    if (nUnopened > 0) {
        pDir->nUnopened -= nUnopened;
        CloseIfIdle(pDir);
    }
    Release(pDir, nLeases);
}

// Opens the closed directories between the nearest open ancestor and pDir, one level at a
// time (a path could be longer than the system takes, and must not pass through a link).
std::error_code CDirHandleSet::EnsureOpen(std::unique_lock<std::mutex>& lock, SHandle* pDir) {
    std::vector<SHandle*> closed;
    for (SHandle* p = pDir; !p->fd.IsOpen(); p = p->pParent)
        closed.push_back(p); // ends at the root at the latest, which stays open
    for (auto it = closed.rbegin(); it != closed.rend(); ++it) {
        SHandle* pNext = *it;
        if (pNext->fd.IsOpen())
            continue; // another thread opened it meanwhile
        CFileDescriptor fd;
        if (std::error_code ec = OpenBelow(lock, pNext->pParent, pNext->strName.c_str(), fd))
            return ec;
        if (pNext->fd.IsOpen())
            continue; // the same; this descriptor is not needed
        if (std::error_code ec = CheckSameDirectory(fd, pNext->identity))
            return ec;
        pNext->fd = std::move(fd);
        Register(pNext);
    }
    return {};
}

// Every open of a directory from the set comes here. pBase stays pinned meanwhile, so that
// nobody closes its descriptor while the lock is not held; when the process is out of
// descriptors, the least recently used idle one is closed and the open tried again.
std::error_code CDirHandleSet::OpenBelow(std::unique_lock<std::mutex>& lock, SHandle* pBase,
                                         const char* pszRawName, CFileDescriptor& fd) {
    const CPin pin(*this, pBase);
    Touch(pBase);
    for (;;) {
        lock.unlock();
        const std::error_code ec = OpenSubDirectory(pBase->fd, pszRawName, fd);
        lock.lock();
        if (!IsOutOfDescriptors(ec) || !EvictOne(pBase))
            return ec;
    }
}

void CDirHandleSet::Register(SHandle* pHandle) {
    pHandle->pOlder = m_pNewest;
    pHandle->pNewer = nullptr;
    (m_pNewest != nullptr ? m_pNewest->pNewer : m_pOldest) = pHandle;
    m_pNewest = pHandle;
    pHandle->bListed = true;
    ++m_nOpen;
    while (m_nOpen > m_nMaxOpen && EvictOne(pHandle)) {
    }
}

void CDirHandleSet::Unregister(SHandle* pHandle) {
    (pHandle->pOlder != nullptr ? pHandle->pOlder->pNewer : m_pOldest) = pHandle->pNewer;
    (pHandle->pNewer != nullptr ? pHandle->pNewer->pOlder : m_pNewest) = pHandle->pOlder;
    pHandle->pOlder = pHandle->pNewer = nullptr;
    pHandle->bListed = false;
    --m_nOpen;
}

void CDirHandleSet::Touch(SHandle* pHandle) {
    if (pHandle->bListed && pHandle != m_pNewest) {
        Unregister(pHandle);
        ++m_nOpen; // Unregister counted it out; it stays open
        pHandle->pOlder = m_pNewest;
        m_pNewest->pNewer = pHandle;
        m_pNewest = pHandle;
        pHandle->bListed = true;
    }
}

// Closes the least recently used descriptor that nobody is opening from (never the root's
// nor pKeep's); false when there is none.
bool CDirHandleSet::EvictOne(SHandle* pKeep) {
    for (SHandle* p = m_pOldest; p != nullptr; p = p->pNewer) {
        if (p->nPins == 0 && p != pKeep) {
            p->fd.Close();
            Unregister(p);
            return true;
        }
    }
    return false;
}

void CDirHandleSet::CloseIfIdle(SHandle* pHandle) {
    if (pHandle != m_pRoot && pHandle->fd.IsOpen() && pHandle->nUnopened == 0 &&
        pHandle->nPins == 0) {
        pHandle->fd.Close();
        Unregister(pHandle);
    }
}

// Drops nRefs references; a handle without any goes, and with it its reference to its parent.
void CDirHandleSet::Release(SHandle* pHandle, std::size_t nRefs) {
    pHandle->nRefs -= nRefs;
    while (pHandle != nullptr && pHandle->nRefs == 0) {
        SHandle* pParent = pHandle->pParent;
        if (pHandle->fd.IsOpen()) {
            pHandle->fd.Close();
            if (pHandle->bListed)
                Unregister(pHandle);
            else
                --m_nOpen; // the root
        }
        if (pHandle == m_pRoot)
            m_pRoot = nullptr;
        pHandle->pNextFree = m_pFree;
        m_pFree = pHandle;
        pHandle = pParent;
        if (pHandle != nullptr)
            --pHandle->nRefs;
    }
}

std::string CDirHandleSet::PathOf(const SHandle* pDir, std::string_view strRawName) {
    std::vector<const std::string*> names;
    for (const SHandle* p = pDir; p != nullptr; p = p->pParent)
        names.push_back(&p->strName);
    std::string strPath;
    const auto append = [&strPath](std::string_view strName) {
        if (!strPath.empty() && strPath.back() != '/')
            strPath += '/';
        strPath += strName;
    };
    for (auto it = names.rbegin(); it != names.rend(); ++it)
        append(**it);
    append(strRawName);
    return strPath;
}

// ---- CSubDirLease ----

CDirHandleSet::CSubDirLease::CSubDirLease(CSubDirLease&& other) noexcept
    : m_pSet(std::exchange(other.m_pSet, nullptr)), m_pParent(other.m_pParent),
      m_strRawName(std::move(other.m_strRawName)), m_identity(other.m_identity),
      m_bOpened(other.m_bOpened) {}

CDirHandleSet::CSubDirLease& CDirHandleSet::CSubDirLease::operator=(CSubDirLease&& other) noexcept {
    if (this != &other) {
        End();
        m_pSet = std::exchange(other.m_pSet, nullptr);
        m_pParent = other.m_pParent;
        m_strRawName = std::move(other.m_strRawName);
        m_identity = other.m_identity;
        m_bOpened = other.m_bOpened;
    }
    return *this;
}

std::error_code CDirHandleSet::CSubDirLease::Open(CFileDescriptor& fd) {
    if (m_pSet == nullptr || m_bOpened)
        return std::make_error_code(std::errc::bad_file_descriptor);
    m_bOpened = true;
    return m_pSet->OpenSubDir(m_pParent, m_strRawName.c_str(), fd);
}

std::string CDirHandleSet::CSubDirLease::Path() const {
    return PathOf(m_pParent, m_strRawName);
}

void CDirHandleSet::CSubDirLease::End() noexcept {
    if (m_pSet != nullptr)
        std::exchange(m_pSet, nullptr)->EndLeases(m_pParent, 1, m_bOpened ? 0 : 1);
}

// ---- CLeaseBatch ----

CDirHandleSet::CLeaseBatch::CLeaseBatch(CLeaseBatch&& other) noexcept
    : m_pSet(std::exchange(other.m_pSet, nullptr)), m_pDir(other.m_pDir),
      m_nLeft(std::exchange(other.m_nLeft, 0)) {}

CDirHandleSet::CLeaseBatch::~CLeaseBatch() {
    if (m_pSet != nullptr && m_nLeft > 0)
        m_pSet->EndLeases(m_pDir, m_nLeft, m_nLeft);
}

CDirHandleSet::CSubDirLease CDirHandleSet::CLeaseBatch::Take(std::string strRawName,
                                                             SFileIdentity identity) {
    if (m_pSet == nullptr || m_nLeft == 0)
        return {};
    --m_nLeft;
    return CSubDirLease(*m_pSet, m_pDir, std::move(strRawName), identity);
}
