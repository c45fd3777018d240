#pragma once

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

// The directories that a scan still has to open subdirectories from, holding at most about
// nMaxOpen descriptors at once however deep the tree is. A directory whose descriptor was
// closed to stay within that bound is opened again, name by name and never through a link,
// from its nearest open ancestor when one of its subdirectories is due. Safe to use from
// several threads.
class CDirHandleSet {
public:
    struct SHandle;

    explicit CDirHandleSet(std::size_t nMaxOpen) : m_nMaxOpen(nMaxOpen) {}
    CDirHandleSet(const CDirHandleSet&) = delete;
    CDirHandleSet& operator=(const CDirHandleSet&) = delete;
    ~CDirHandleSet(); // closes what is still open

    // The chosen directory, opened as strPath; its descriptor (now the set's) stays open
    // until the set goes. nSubDirs of its subdirectories will be opened from it.
    SHandle* AddRoot(int nFd, std::string strPath, std::size_t nSubDirs);
    // A subdirectory of pParent, read through nFd (now the set's), whose nSubDirs
    // subdirectories will be opened from it. nDevice and nInode identify it when it has to
    // be opened again.
    SHandle* Add(SHandle* pParent, int nFd, std::string strRawName, std::uint64_t nDevice,
                 std::uint64_t nInode, std::size_t nSubDirs);

    // Opens the subdirectory pszRawName of pDir (one of its nSubDirs); -1 with errno set
    // when it cannot be opened.
    int OpenSubDir(SHandle* pDir, const char* pszRawName);
    // One of pDir's subdirectories will not be opened after all.
    void SkipSubDir(SHandle* pDir);
    // The work on one subdirectory of pDir is over: called once per subdirectory, after
    // any Add for it.
    void Done(SHandle* pDir);

    // The chosen directory's path joined with the raw names from there down to
    // strRawName, a subdirectory of pDir.
    static std::string PathOf(const SHandle* pDir, std::string_view strRawName);

    // Descriptors held right now.
    std::size_t OpenCount() const;

private:
    bool EnsureOpen(SHandle* pDir);
    int OpenOneLevel(SHandle* pParent, SHandle* pChild);
    void Register(SHandle* pHandle);
    void Unregister(SHandle* pHandle);
    void Touch(SHandle* pHandle);
    bool EvictOne(SHandle* pKeep);
    void CloseIfIdle(SHandle* pHandle);
    void Release(SHandle* pHandle);

    mutable std::mutex m_mutex;
    const std::size_t m_nMaxOpen;
    std::size_t m_nOpen = 0;
    SHandle* m_pRoot = nullptr;
    // Open handles other than the root, least recently used first.
    SHandle* m_pOldest = nullptr;
    SHandle* m_pNewest = nullptr;
};
