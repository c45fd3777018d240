#pragma once

#include <cstdint>
#include <string>

#include "model/KWLItem.h"

// A fresh temporary directory, removed with everything in it when the object goes.
class CTempTree {
public:
    CTempTree();
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

// Runs fn in a child process that has dropped root to the user "nobody"; returns the child's
// exit status (fn's result), or -1 when the child could not be run. Lets tests check what
// permissions deny even though the test suite runs as root.
int RunAsNobody(int (*fn)(void*), void* pArg);
