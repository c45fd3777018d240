#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "platform/FileDescriptor.h"
#include "scan/DirHandleSet.h"
#include "support/Child.h"
#include "support/TempTree.h"

namespace {

using CLease = CDirHandleSet::CSubDirLease;
using CLeaseBatch = CDirHandleSet::CLeaseBatch;

std::size_t OpenDescriptors() {
    return CountEntries("/proc/self/fd");
}

SFileIdentity IdentityOfPath(const std::string& strPath) {
    struct stat st {};
    EXPECT_EQ(stat(strPath.c_str(), &st), 0) << strPath;
    return {st.st_dev, st.st_ino};
}

CLeaseBatch AddRoot(CDirHandleSet& set, const std::string& strPath, std::size_t nSubDirs) {
    CFileDescriptor fd(open(strPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    EXPECT_TRUE(fd.IsOpen()) << strPath;
    return set.AddRoot(std::move(fd), strPath, nSubDirs);
}

// The lease for the subdirectory strName of the directory at strParentPath.
CLease TakeLease(CLeaseBatch& leases, const std::string& strParentPath,
                 const std::string& strName) {
    return leases.Take(strName, IdentityOfPath(strParentPath + "/" + strName));
}

// A subdirectory as a scan adds it: opened through its lease, then handed to the set.
CLeaseBatch AddSubDir(CDirHandleSet& set, CLeaseBatch& parentLeases,
                      const std::string& strParentPath, const std::string& strName,
                      std::size_t nSubDirs) {
    CLease lease = TakeLease(parentLeases, strParentPath, strName);
    CFileDescriptor fd;
    EXPECT_EQ(lease.Open(fd), std::error_code()) << strName;
    return set.Add(std::move(lease), std::move(fd), nSubDirs);
}

// Opens the subdirectory through a lease that ends right after.
std::error_code OpenAndEnd(CLeaseBatch& leases, const std::string& strParentPath,
                           const std::string& strName) {
    CLease lease = TakeLease(leases, strParentPath, strName);
    CFileDescriptor fd;
    return lease.Open(fd);
}

TEST(DirHandleSetTest, ClosedDirectoriesAreOpenedAgainOnlyIfTheyAreTheSame) {
    CTempTree tree;
    for (const char* psz : {"top/x/a", "top/x/b", "top/y/c", "top/z/d"})
        tree.AddDir(psz);
    const std::string strTop = tree.Path("top");
    const std::size_t nBefore = OpenDescriptors();
    {
        CDirHandleSet set(2); // the root and one more
        CLeaseBatch rootLeases = AddRoot(set, strTop, 3);
        CLeaseBatch xLeases = AddSubDir(set, rootLeases, strTop, "x", 2);
        CLeaseBatch yLeases = AddSubDir(set, rootLeases, strTop, "y", 1);
        EXPECT_EQ(set.OpenCount(), 2u); // x was closed to make room for y

        EXPECT_EQ(OpenAndEnd(xLeases, strTop + "/x", "a"), std::error_code()); // x opened again
        EXPECT_EQ(set.OpenCount(), 2u);

        // x is replaced by another directory of the same name while it is closed.
        CLease leaseB = TakeLease(xLeases, strTop + "/x", "b");
        ASSERT_EQ(rename(tree.Path("top/x").c_str(), tree.Path("top/x-old").c_str()), 0);
        tree.AddDir("top/x/b");
        CLeaseBatch zLeases = AddSubDir(set, rootLeases, strTop, "z", 1);
        CFileDescriptor fd;
        EXPECT_EQ(leaseB.Open(fd), std::errc::no_such_file_or_directory);
        EXPECT_FALSE(fd.IsOpen());
        leaseB = CLease(); // ends it

        CLease leaseC = TakeLease(yLeases, strTop + "/y", "c");
        EXPECT_EQ(leaseC.Path(), tree.Path("top/y/c"));
        EXPECT_EQ(leaseC.Open(fd), std::error_code());
        EXPECT_TRUE(fd.IsOpen());
        leaseC = CLease();
        EXPECT_EQ(OpenAndEnd(zLeases, strTop + "/z", "d"), std::error_code());
        EXPECT_EQ(set.OpenCount(), 0u); // every handle went with its last subdirectory
    }
    EXPECT_EQ(OpenDescriptors(), nBefore);
}

TEST(DirHandleSetTest, PathJoinsTheGivenPathWithTheNamesBelowIt) {
    CTempTree tree;
    tree.AddDir("top/s/t");
    for (const std::string& strGiven : {tree.Path("top"), tree.Path("top") + "/"}) {
        SCOPED_TRACE(strGiven);
        CDirHandleSet set(8);
        CLeaseBatch rootLeases = AddRoot(set, strGiven, 1);
        CLease leaseS = TakeLease(rootLeases, tree.Path("top"), "s");
        EXPECT_EQ(leaseS.Path(), tree.Path("top/s"));
        CFileDescriptor fd;
        ASSERT_EQ(leaseS.Open(fd), std::error_code());
        CLeaseBatch sLeases = set.Add(std::move(leaseS), std::move(fd), 1);
        EXPECT_EQ(TakeLease(sLeases, tree.Path("top/s"), "t").Path(), tree.Path("top/s/t"));
    }
}

// However the work on a subdirectory ends (opened or not, its lease taken or never taken,
// moved on the way), the set lets go of every directory once nothing below it is left.
TEST(DirHandleSetTest, EveryWayALeaseEndsReleasesItsDirectory) {
    CTempTree tree;
    for (const char* psz : {"top/a/a1", "top/a/a2", "top/b", "top/c", "top/d"})
        tree.AddDir(psz);
    const std::string strTop = tree.Path("top");
    const std::size_t nBefore = OpenDescriptors();
    {
        CDirHandleSet set(16);
        CLeaseBatch rootLeases = AddRoot(set, strTop, 4);
        {
            CLeaseBatch aLeases = AddSubDir(set, rootLeases, strTop, "a", 2);
            EXPECT_EQ(set.OpenCount(), 2u);
            CLease first = TakeLease(aLeases, strTop + "/a", "a1");
            CLease moved = std::move(first); // first ends as nothing
            CFileDescriptor fd;
            ASSERT_EQ(moved.Open(fd), std::error_code());
            EXPECT_EQ(set.OpenCount(), 2u); // a2 is still to be opened from a
            { const CLease unopened = TakeLease(aLeases, strTop + "/a", "a2"); }
            EXPECT_EQ(set.OpenCount(), 1u);                 // nothing more to open from a: closed
            EXPECT_EQ(moved.Path(), tree.Path("top/a/a1")); // a is still known
            EXPECT_EQ(aLeases.Take("more", {}).Open(fd), std::errc::bad_file_descriptor);
        }
        EXPECT_EQ(set.OpenCount(), 1u);
        CLease opened = TakeLease(rootLeases, strTop, "b");
        CFileDescriptor fd;
        ASSERT_EQ(opened.Open(fd), std::error_code());
        EXPECT_EQ(opened.Open(fd), std::errc::bad_file_descriptor); // once per lease
        EXPECT_EQ(set.OpenCount(), 1u);
    } // c and d are never taken; the set goes last
    EXPECT_EQ(OpenDescriptors(), nBefore);
}

struct SExhaustArgs {
    std::string strTop;
};

// Opens descriptors until the process may open no more.
void UseUpDescriptors(std::vector<CFileDescriptor>& filler) {
    for (;;) {
        CFileDescriptor fd(open("/", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (!fd.IsOpen())
            return;
        filler.push_back(std::move(fd));
    }
}

// With every descriptor of the process in use, an open through the set closes the least
// recently used idle descriptor of its own and tries again; when none is idle, the failure
// comes back as a value.
int OpenWithNoDescriptorLeft(void* pArg) {
    const auto& args = *static_cast<SExhaustArgs*>(pArg);
    CDirHandleSet set(64);
    CLeaseBatch rootLeases = AddRoot(set, args.strTop, 3);
    CLeaseBatch xLeases = AddSubDir(set, rootLeases, args.strTop, "x", 1);
    CLeaseBatch yLeases = AddSubDir(set, rootLeases, args.strTop, "y", 1);
    CLeaseBatch zLeases = AddSubDir(set, rootLeases, args.strTop, "z", 2);
    if (set.OpenCount() != 4)
        return 10;
    const rlim_t nLimit = OpenDescriptors() + 4;
    const rlimit lim{nLimit, nLimit};
    if (setrlimit(RLIMIT_NOFILE, &lim) != 0)
        return 11;
    std::vector<CFileDescriptor> filler;
    UseUpDescriptors(filler);
    // x goes for z1: the root, y and z are left.
    if (OpenAndEnd(zLeases, args.strTop + "/z", "z1") != std::error_code())
        return 12;
    if (set.OpenCount() != 3)
        return 13;
    UseUpDescriptors(filler);
    // y goes for z2; z, done with, goes too.
    if (OpenAndEnd(zLeases, args.strTop + "/z", "z2") != std::error_code())
        return 14;
    if (set.OpenCount() != 1)
        return 15;
    UseUpDescriptors(filler);
    // Nothing is left to close to open x again (the root stays open).
    if (OpenAndEnd(xLeases, args.strTop + "/x", "x1") != std::errc::too_many_files_open)
        return 16;
    return set.OpenCount() == 1 ? 0 : 17;
}

TEST(DirHandleSetTest, OutOfDescriptorsClosesAnIdleOneAndTriesAgain) {
    CTempTree tree;
    for (const char* psz : {"top/x/x1", "top/y/y1", "top/z/z1", "top/z/z2"})
        tree.AddDir(psz);
    SExhaustArgs args{tree.Path("top")};
    EXPECT_EQ(RunInChild([&] { return OpenWithNoDescriptorLeft(&args); }), 0);
}

} // namespace
