#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <string>

#include "scan/DirHandleSet.h"
#include "support/TempTree.h"

namespace {

std::size_t OpenDescriptors() {
    return CountEntries("/proc/self/fd");
}

// A subdirectory of pParent as a scan adds it: opened from the set, then handed to it.
CDirHandleSet::SHandle* AddSubDir(CDirHandleSet& set, CDirHandleSet::SHandle* pParent,
                                  const CTempTree& tree, const std::string& strPath,
                                  const std::string& strName, std::size_t nSubDirs) {
    struct stat st {};
    EXPECT_EQ(stat(tree.Path(strPath).c_str(), &st), 0);
    const int nFd = set.OpenSubDir(pParent, strName.c_str());
    EXPECT_GE(nFd, 0) << strPath;
    return set.Add(pParent, nFd, strName, st.st_dev, st.st_ino, nSubDirs);
}

TEST(ModelDirHandleSet, ClosedDirectoriesAreOpenedAgainOnlyIfTheyAreTheSame) {
    CTempTree tree;
    for (const char* psz : {"top/x/a", "top/x/b", "top/y/c", "top/z/d"})
        tree.AddDir(psz);
    const std::size_t nBefore = OpenDescriptors();
    {
        CDirHandleSet set(2); // the root and one more
        const int nRootFd = open(tree.Path("top").c_str(), O_RDONLY | O_DIRECTORY);
        ASSERT_GE(nRootFd, 0);
        CDirHandleSet::SHandle* pRoot = set.AddRoot(nRootFd, tree.Path("top"), 3);
        CDirHandleSet::SHandle* pX = AddSubDir(set, pRoot, tree, "top/x", "x", 2);
        CDirHandleSet::SHandle* pY = AddSubDir(set, pRoot, tree, "top/y", "y", 1);
        EXPECT_EQ(set.OpenCount(), 2u); // x was closed to make room for y

        const int nA = set.OpenSubDir(pX, "a"); // x is opened again from the root
        EXPECT_GE(nA, 0);
        close(nA);
        set.Done(pX);
        EXPECT_EQ(set.OpenCount(), 2u);

        // x is replaced by another directory of the same name while it is closed.
        ASSERT_EQ(rename(tree.Path("top/x").c_str(), tree.Path("top/x-old").c_str()), 0);
        tree.AddDir("top/x/b");
        CDirHandleSet::SHandle* pZ = AddSubDir(set, pRoot, tree, "top/z", "z", 1);
        EXPECT_EQ(set.OpenSubDir(pX, "b"), -1);
        EXPECT_EQ(errno, ENOENT);
        set.Done(pX);

        EXPECT_EQ(CDirHandleSet::PathOf(pY, "c"), tree.Path("top/y/c"));
        for (auto [pDir, pszName] : {std::pair{pY, "c"}, std::pair{pZ, "d"}}) {
            const int nFd = set.OpenSubDir(pDir, pszName);
            EXPECT_GE(nFd, 0) << pszName;
            close(nFd);
            set.Done(pDir);
        }
        for (int i = 0; i < 3; ++i)
            set.Done(pRoot);
        EXPECT_EQ(set.OpenCount(), 0u); // every handle went with its last subdirectory
    }
    EXPECT_EQ(OpenDescriptors(), nBefore);
}

TEST(ModelDirHandleSet, PathJoinsTheGivenPathWithTheNamesBelowIt) {
    CTempTree tree;
    tree.AddDir("top/s/t");
    for (const std::string& strGiven : {tree.Path("top"), tree.Path("top") + "/"}) {
        SCOPED_TRACE(strGiven);
        CDirHandleSet set(8);
        CDirHandleSet::SHandle* pRoot =
            set.AddRoot(open(strGiven.c_str(), O_RDONLY | O_DIRECTORY), strGiven, 1);
        CDirHandleSet::SHandle* pS = AddSubDir(set, pRoot, tree, "top/s", "s", 1);
        EXPECT_EQ(CDirHandleSet::PathOf(pS, "t"), tree.Path("top/s/t"));
        EXPECT_EQ(CDirHandleSet::PathOf(pRoot, "s"), tree.Path("top/s"));
        set.SkipSubDir(pS);
        set.Done(pS);
        set.Done(pRoot);
    }
}

} // namespace
