#pragma once

#include <cstddef>
#include <cstdint>
#include <set>
#include <string>

#include "model/KWLItem.h"

// A fresh temporary directory, removed with everything in it when the object goes. Paths are
// UTF-8 and use the system's separator (relative paths may be given with "/" everywhere).
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
    // Permission bits; on Windows only the owner's write bit counts: clear, the file is made
    // read-only.
    void SetMode(const std::string& strRelative, unsigned nMode);

    // Whether the tests make symbolic links here: links as Linux has them, their size the
    // length of their text. Windows' links (reparse points, size 0) are tested on their own.
    static bool CanMakeLinks();
    // Whether this system lets a file be named strName: Windows forbids < > : " | ? * \ and
    // control characters.
    static bool AllowsName(const std::string& strName);

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

// The example tree: x holds sub (with deep/d.txt of 9 bytes and c.txt of 7) and the files
// a.txt (120 bytes) and b.txt (5). Returns the path of x.
std::string MakeExampleTree(CTempTree& tree);
