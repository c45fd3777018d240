#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <thread>

#include "platform/AtomicFile.h"
#include "platform/FileWrite.h"
#include "support/Child.h"
#include "support/Files.h"
#include "support/TempTree.h"

namespace {

bool Save(const std::string& strPath, const std::string& strText) {
    CAtomicFile file;
    return file.Open(strPath) && WriteAll(file.GetFd(), strText) && file.Commit();
}

unsigned ModeOf(const std::string& strPath) {
    struct stat st {};
    EXPECT_EQ(lstat(strPath.c_str(), &st), 0) << strPath;
    return st.st_mode;
}

TEST(AtomicFile, NewContentAppearsOnlyAtCommit) {
    CTempTree tree;
    const std::string strPath = tree.Path("out.txt");
    std::ofstream(strPath) << "old";

    CAtomicFile file;
    ASSERT_TRUE(file.Open(strPath));
    ASSERT_TRUE(WriteAll(file.GetFd(), "new"));
    EXPECT_EQ(ReadFile(strPath), "old");
    ASSERT_TRUE(file.Commit());
    EXPECT_EQ(ReadFile(strPath), "new");
    EXPECT_EQ(NamesIn(tree.Root()), std::set<std::string>{"out.txt"});
}

// Whatever was written, a save that is not committed leaves the target and its folder as
// they were: an existing file keeps its content, a new one does not appear.
TEST(AtomicFile, WithoutCommitNothingChanges) {
    CTempTree tree;
    const std::string strOld = tree.Path("old.txt");
    std::ofstream(strOld) << "precious\n";
    for (const std::string& strPath : {strOld, tree.Path("new.txt")}) {
        SCOPED_TRACE(strPath);
        {
            CAtomicFile file;
            ASSERT_TRUE(file.Open(strPath));
            ASSERT_TRUE(WriteAll(file.GetFd(), std::string(100000, 'x')));
        }
        {
            CAtomicFile file;
            ASSERT_TRUE(file.Open(strPath));
            ASSERT_TRUE(WriteAll(file.GetFd(), "partial"));
            errno = ENOSPC;
            file.Discard();
            EXPECT_EQ(errno, ENOSPC); // the caller's reason survives the clean-up
        }
        EXPECT_EQ(ReadFile(strOld), "precious\n");
        EXPECT_EQ(NamesIn(tree.Root()), std::set<std::string>{"old.txt"});
    }
}

// The folder is fixed by Resolve: a later change of the working directory (as the scan makes)
// does not move a relative target.
TEST(AtomicFile, RelativeTargetStaysInTheFolderOfResolve) {
    CTempTree tree;
    const std::string strHere = tree.AddDir("here");
    const std::string strElsewhere = tree.AddDir("elsewhere");
    CWorkingDirGuard guard;
    ASSERT_EQ(chdir(strHere.c_str()), 0);

    CAtomicFile file;
    ASSERT_TRUE(file.Resolve("listing.txt"));
    ASSERT_EQ(chdir(strElsewhere.c_str()), 0);
    ASSERT_TRUE(file.Create());
    ASSERT_TRUE(WriteAll(file.GetFd(), "text"));
    ASSERT_TRUE(file.Commit());

    EXPECT_EQ(ReadFile(strHere + "/listing.txt"), "text");
    EXPECT_TRUE(NamesIn(strElsewhere).empty());
}

TEST(AtomicFile, ResolveRefusesWhatCannotBeWritten) {
    CTempTree tree;
    tree.AddDir("dir");
    tree.AddFile("file.txt", 1);
    tree.AddLink("loop", "loop");
    tree.AddLink("to-dir", "dir");
    struct SCase {
        std::string strPath;
        int nErrno;
    };
    const SCase cases[] = {
        {tree.Path("dir"), EISDIR},
        {tree.Path("dir/"), EISDIR},
        {tree.Path("dir/."), EISDIR},
        {tree.Path("to-dir"), EISDIR},
        {"/", EISDIR},
        {tree.Path("missing/out.txt"), ENOENT},
        {tree.Path("file.txt/out.txt"), ENOTDIR},
        {tree.Path("loop"), ELOOP},
        {"", ENOENT},
    };
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.strPath);
        CAtomicFile file;
        errno = 0;
        EXPECT_FALSE(file.Resolve(c.strPath));
        EXPECT_EQ(errno, c.nErrno);
        EXPECT_FALSE(file.Create());
        EXPECT_EQ(file.GetFd(), -1);
    }
    EXPECT_EQ(NamesIn(tree.Root()), (std::set<std::string>{"dir", "file.txt", "loop", "to-dir"}));
    EXPECT_TRUE(NamesIn(tree.Path("dir")).empty());
}

int ResolveAsNobody(void* pArg) {
    CAtomicFile file;
    if (file.Resolve(*static_cast<const std::string*>(pArg)))
        return 1;
    return errno == EACCES ? 0 : 2;
}

// Permissions only bite without root, so these run as nobody. A read-only file is refused
// even in a folder where it could be replaced, as opening it for writing would be.
TEST(AtomicFile, ResolveRefusesWhatTheUserMayNotWrite) {
    CTempTree tree;
    tree.AddFile("locked/old.txt", 10);
    tree.SetMode("locked", 0555);
    tree.AddFile("open/readonly.txt", 10);
    tree.SetMode("open/readonly.txt", 0444);
    tree.SetMode("open", 0777);
    for (std::string strPath : {tree.Path("locked/new.txt"), tree.Path("locked/old.txt"),
                                tree.Path("open/readonly.txt")}) {
        SCOPED_TRACE(strPath);
        EXPECT_EQ(RunInChild([&] { return ResolveAsNobody(&strPath); }, AsNobody()), 0);
    }
    EXPECT_EQ(ReadFile(tree.Path("open/readonly.txt")), std::string(10, 'x'));
}

// The save dialog's user means the file a link points to: that file gets the new content and
// the link stays, whether it is absolute, relative to its own folder, one of a chain, or
// points to a file that does not exist yet.
TEST(AtomicFile, LinkedTargetIsReplacedNotTheLink) {
    CTempTree tree;
    tree.AddFile("real/a.txt", 5);
    tree.AddFile("real/b.txt", 5);
    tree.AddLink("links/absolute", tree.Path("real/a.txt"));
    tree.AddLink("links/relative", "../real/b.txt");
    tree.AddLink("links/chain", "relative");
    tree.AddLink("links/dangling", "../real/c.txt");
    struct SCase {
        const char* pszLink;
        const char* pszFile;
    };
    for (const SCase& c : {SCase{"absolute", "a.txt"}, SCase{"relative", "b.txt"},
                           SCase{"chain", "b.txt"}, SCase{"dangling", "c.txt"}}) {
        SCOPED_TRACE(c.pszLink);
        const std::string strLink = tree.Path(std::string("links/") + c.pszLink);
        const std::string strTargetBefore = std::filesystem::read_symlink(strLink).string();
        ASSERT_TRUE(Save(strLink, c.pszLink));
        EXPECT_TRUE(S_ISLNK(ModeOf(strLink)));
        EXPECT_EQ(std::filesystem::read_symlink(strLink).string(), strTargetBefore);
        EXPECT_EQ(ReadFile(tree.Path(std::string("real/") + c.pszFile)), c.pszLink);
    }
    EXPECT_EQ(NamesIn(tree.Path("real")), (std::set<std::string>{"a.txt", "b.txt", "c.txt"}));
}

// A replaced file keeps its permissions; a new one gets the usual ones.
TEST(AtomicFile, ExistingFileKeepsItsMode) {
    CTempTree tree;
    for (unsigned nMode : {0600u, 0640u, 0664u, 0755u}) {
        SCOPED_TRACE(nMode);
        const std::string strPath = tree.AddFile("kept.txt", 3);
        tree.SetMode("kept.txt", nMode);
        ASSERT_TRUE(Save(strPath, "new"));
        EXPECT_EQ(ModeOf(strPath) & 07777, nMode);
        EXPECT_EQ(ReadFile(strPath), "new");
    }
    const mode_t nMask = umask(0);
    umask(nMask);
    ASSERT_TRUE(Save(tree.Path("fresh.txt"), "x"));
    EXPECT_EQ(ModeOf(tree.Path("fresh.txt")) & 07777, 0666u & ~nMask);
}

// A pipe (like a device or /dev/stdout) cannot be replaced: it is written to and stays a pipe.
TEST(AtomicFile, PipeIsWrittenDirectly) {
    CTempTree tree;
    const std::string strFifo = tree.Path("fifo");
    ASSERT_EQ(mkfifo(strFifo.c_str(), 0644), 0);
    std::string strReceived;
    std::thread reader([&] { strReceived = ReadFile(strFifo); });

    const bool bSaved = Save(strFifo, "through the pipe");
    if (!bSaved)
        close(open(strFifo.c_str(), O_RDWR)); // lets the reader's open return
    reader.join();

    EXPECT_TRUE(bSaved);
    EXPECT_EQ(strReceived, "through the pipe");
    EXPECT_TRUE(S_ISFIFO(ModeOf(strFifo)));
    EXPECT_EQ(NamesIn(tree.Root()), std::set<std::string>{"fifo"});
}

} // namespace
