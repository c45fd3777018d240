#pragma once

#include <cstddef>
#include <cstdint>
#include <set>
#include <string>

#include "model/KWLItem.h"

// A fresh temporary directory, removed with everything in it when the object goes.
class CTempTree {
public:
    CTempTree();
    // A fresh directory below strBase (another file system, such as a tmpfs).
    explicit CTempTree(const std::string& strBase);
    ~CTempTree();
    CTempTree(const CTempTree&) = delete;
    CTempTree& operator=(const CTempTree&) = delete;

    const std::string& Root() const { return m_strRoot; }
    std::string Path(const std::string& strRelative) const;

    // Creates parent directories as needed. Returns the full path.
    std::string AddDir(const std::string& strRelative);
    std::string AddFile(const std::string& strRelative, std::uint64_t nSize = 0);
    // A sparse file: takes no disk space, whatever its length.
    std::string AddSparseFile(const std::string& strRelative, std::uint64_t nSize);
    std::string AddLink(const std::string& strRelative, const std::string& strTarget);
    // nDepth directories strDirName nested below strRelative, with an empty file strLeaf in
    // the deepest. Made level by level through descriptors, so the depth is not bounded by
    // the longest path the system takes. Returns the path of strRelative.
    std::string AddChain(const std::string& strRelative, int nDepth,
                         const std::string& strDirName = "d",
                         const std::string& strLeaf = "leaf.txt");
    // Sets access and modification time (seconds since 1970) without following links.
    void SetTimes(const std::string& strRelative, std::int64_t nAccess, std::int64_t nWrite);
    void SetMode(const std::string& strRelative, unsigned nMode);

private:
    std::string m_strRoot;
};

// Restores the working directory when it goes (scans move it).
class CWorkingDirGuard {
public:
    CWorkingDirGuard();
    ~CWorkingDirGuard();
    CWorkingDirGuard(const CWorkingDirGuard&) = delete;
    CWorkingDirGuard& operator=(const CWorkingDirGuard&) = delete;

private:
    std::string m_strSaved;
};

std::string CurrentWorkingDir();

// The names in a directory (not below it), to check that nothing was left behind.
std::set<std::string> NamesIn(const std::string& strDir);

// Entries of a directory, such as /proc/self/fd (descriptors) or /proc/self/task (threads).
std::size_t CountEntries(const std::string& strDir);

// Runs fn in a child process; returns its exit status (fn's result), or -1 when the child
// could not be run. For tests that change what the whole process sees (limits, environment).
int RunInChild(int (*fn)(void*), void* pArg);

// Runs fn in a child process that has dropped root to the user "nobody"; returns the child's
// exit status (fn's result), or -1 when the child could not be run. Lets tests check what
// permissions deny even though the test suite runs as root.
int RunAsNobody(int (*fn)(void*), void* pArg);

// Runs fn in a child process whose files may not grow beyond nBytes (RLIMIT_FSIZE, with
// SIGXFSZ ignored, so a write past the limit fails with EFBIG: a real write fault that needs
// no privileges). Returns fn's result as RunAsNobody does.
int RunWithFileSizeLimit(int (*fn)(void*), void* pArg, std::uint64_t nBytes);

// A tmpfs of nBytes on a fresh directory: a disk that really fills up. It is mounted in a
// mount namespace of its own, which this process and the children it starts from then on
// share, and nothing else sees. Needs root (CAP_SYS_ADMIN); when mounting fails, IsMounted()
// is false and Reason() says why, so a test can skip. Unmounted and removed when it goes.
class CSmallDisk {
public:
    explicit CSmallDisk(std::uint64_t nBytes);
    ~CSmallDisk();
    CSmallDisk(const CSmallDisk&) = delete;
    CSmallDisk& operator=(const CSmallDisk&) = delete;

    bool IsMounted() const { return m_bMounted; }
    const std::string& Reason() const { return m_strReason; }
    const std::string& Root() const { return m_tree.Root(); }

private:
    CTempTree m_tree;
    bool m_bMounted = false;
    std::string m_strReason;
};
