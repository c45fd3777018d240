#include "scan/DirHandleSet.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

#include "platform/DirReader.h"

struct CDirHandleSet::SHandle {
    SHandle* pParent = nullptr;
    std::string strName; // raw name below the parent; for the root, the path as given
    int nFd = -1;
    std::uint64_t nDevice = 0;
    std::uint64_t nInode = 0;
    std::size_t nUnopened = 0; // subdirectories still to be opened from it
    std::size_t nRefs = 0;     // subdirectories not done, plus handles below it
    int nPins = 0;             // opens from its descriptor going on right now
    bool bListed = false;      // in the least-recently-used list
    SHandle* pOlder = nullptr;
    SHandle* pNewer = nullptr;
};

namespace {

bool IsOutOfDescriptors(int nErrno) {
    return nErrno == EMFILE || nErrno == ENFILE;
}

} // namespace

CDirHandleSet::~CDirHandleSet() {
    // Every handle is released by the time a scan ends; the root only if the scan stopped
    // in an unusual way.
    if (m_pRoot != nullptr) {
        close(m_pRoot->nFd);
        delete m_pRoot;
    }
}

CDirHandleSet::SHandle* CDirHandleSet::AddRoot(int nFd, std::string strPath, std::size_t nSubDirs) {
    std::lock_guard lock(m_mutex);
    m_pRoot = new SHandle{nullptr, std::move(strPath), nFd, 0, 0, nSubDirs, nSubDirs};
    ++m_nOpen;
    return m_pRoot;
}

CDirHandleSet::SHandle* CDirHandleSet::Add(SHandle* pParent, int nFd, std::string strRawName,
                                           std::uint64_t nDevice, std::uint64_t nInode,
                                           std::size_t nSubDirs) {
    std::lock_guard lock(m_mutex);
    auto* pHandle =
        new SHandle{pParent, std::move(strRawName), nFd, nDevice, nInode, nSubDirs, nSubDirs};
    ++pParent->nRefs;
    Register(pHandle);
    return pHandle;
}

int CDirHandleSet::OpenSubDir(SHandle* pDir, const char* pszRawName) {
    {
        std::lock_guard lock(m_mutex);
        if (!EnsureOpen(pDir)) {
            const int nErrno = errno;
            --pDir->nUnopened;
            CloseIfIdle(pDir);
            errno = nErrno;
            return -1;
        }
        ++pDir->nPins; // keeps the descriptor open while the lock is not held
        Touch(pDir);
    }
    int nFd = -1;
    for (;;) {
        nFd = OpenSubDirectory(pDir->nFd, pszRawName);
        if (nFd >= 0 || !IsOutOfDescriptors(errno))
            break;
        const int nErrno = errno;
        std::lock_guard lock(m_mutex);
        if (!EvictOne(nullptr)) {
            errno = nErrno;
            break;
        }
    }
    const int nErrno = errno;
    {
        std::lock_guard lock(m_mutex);
        --pDir->nPins;
        --pDir->nUnopened;
        CloseIfIdle(pDir);
    }
    errno = nErrno;
    return nFd;
}

void CDirHandleSet::SkipSubDir(SHandle* pDir) {
    std::lock_guard lock(m_mutex);
    --pDir->nUnopened;
    CloseIfIdle(pDir);
}

void CDirHandleSet::Done(SHandle* pDir) {
    std::lock_guard lock(m_mutex);
    Release(pDir);
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

std::size_t CDirHandleSet::OpenCount() const {
    std::lock_guard lock(m_mutex);
    return m_nOpen;
}

// Opens the closed directories between the nearest open ancestor and pDir, one level at a
// time (a path could be longer than the system takes, and must not pass through a link).
bool CDirHandleSet::EnsureOpen(SHandle* pDir) {
    if (pDir->nFd >= 0)
        return true;
    std::vector<SHandle*> closed;
    SHandle* pOpen = pDir;
    for (; pOpen->nFd < 0; pOpen = pOpen->pParent)
        closed.push_back(pOpen); // ends at the root at the latest, which stays open
    for (auto it = closed.rbegin(); it != closed.rend(); ++it) {
        SHandle* pNext = *it;
        ++pOpen->nPins;
        const int nFd = OpenOneLevel(pOpen, pNext);
        const int nErrno = errno;
        --pOpen->nPins;
        CloseIfIdle(pOpen);
        if (nFd < 0) {
            errno = nErrno;
            return false;
        }
        pNext->nFd = nFd;
        Register(pNext);
        pOpen = pNext;
    }
    return true;
}

// Opens pChild from its open parent again, and makes sure it is still the same directory.
int CDirHandleSet::OpenOneLevel(SHandle* pParent, SHandle* pChild) {
    for (;;) {
        const int nFd = OpenSubDirectory(pParent->nFd, pChild->strName.c_str());
        if (nFd < 0) {
            if (IsOutOfDescriptors(errno) && EvictOne(pParent))
                continue;
            return -1;
        }
        struct stat st {};
        if (fstat(nFd, &st) != 0 || st.st_dev != pChild->nDevice || st.st_ino != pChild->nInode) {
            close(nFd);
            errno = ENOENT; // renamed or replaced since it was read
            return -1;
        }
        return nFd;
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
            close(p->nFd);
            p->nFd = -1;
            Unregister(p);
            return true;
        }
    }
    return false;
}

void CDirHandleSet::CloseIfIdle(SHandle* pHandle) {
    if (pHandle != m_pRoot && pHandle->nFd >= 0 && pHandle->nUnopened == 0 && pHandle->nPins == 0) {
        close(pHandle->nFd);
        pHandle->nFd = -1;
        Unregister(pHandle);
    }
}

// Drops one reference; a handle without any goes, and with it its reference to its parent.
void CDirHandleSet::Release(SHandle* pHandle) {
    while (pHandle != nullptr && --pHandle->nRefs == 0) {
        SHandle* pParent = pHandle->pParent;
        if (pHandle->nFd >= 0) {
            close(pHandle->nFd);
            if (pHandle->bListed)
                Unregister(pHandle);
            else
                --m_nOpen; // the root
        }
        if (pHandle == m_pRoot)
            m_pRoot = nullptr;
        delete pHandle;
        pHandle = pParent;
    }
}
