#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <fstream>
#include <set>
#include <string>
#include <thread>

#include "output/OutputFile.h"
#include "platform/FileWrite.h"
#include "support/Child.h"
#include "support/Files.h"
#include "support/SmallDisk.h"
#include "support/TempTree.h"

namespace {

// Lines of varying length, so line ends fall on and around every chunk boundary.
std::string LargeText() {
    std::string strText;
    for (int i = 0; strText.size() < 3 * 1024 * 1024; ++i) {
        strText.append(static_cast<std::size_t>(i % 97), static_cast<char>('a' + i % 26));
        strText += (i % 5 == 0) ? "\n\n" : "\n";
    }
    strText.append(600 * 1024, 'z'); // one line longer than a chunk
    strText += "\nend";
    return strText;
}

TEST(OutputFileSaveText, StoresEveryLfAsCrLf) {
    CTempTree tree;
    const std::string strLarge = LargeText();
    struct {
        std::string strText;
        std::string strStored;
    } const cases[] = {
        {"a\nb", "a\r\nb"},
        {"", ""},
        {"\n", "\r\n"},
        {"x\n\n", "x\r\n\r\n"},
        {"a\r\nb", "a\r\r\nb"}, // text mode: a CR already there is kept as it is
        {strLarge, WithCrLf(strLarge)},
    };
    const std::string strPath = tree.Path("out.txt");
    for (const auto& c : cases) {
        ASSERT_TRUE(SaveTextToFile(strPath, c.strText).IsWritten());
        EXPECT_TRUE(ReadFile(strPath) == c.strStored) << "text of " << c.strText.size() << " bytes";
    }
}

TEST(OutputFileSaveText, ReplacesExistingFileWhole) {
    CTempTree tree;
    const std::string strPath = tree.AddFile("KWL.txt", 100000);

    ASSERT_TRUE(SaveTextToFile(strPath, "a\nb").IsWritten());
    EXPECT_EQ(ReadFile(strPath), "a\r\nb");
}

TEST(OutputFileSaveBytes, StoresBytesUnchanged) {
    CTempTree tree;
    const std::string strPath = tree.AddFile("listing.txt", 1000);

    ASSERT_TRUE(SaveBytesToFile(strPath, "h:\r\n\r\na\nb").IsWritten());
    EXPECT_EQ(ReadFile(strPath), "h:\r\n\r\na\nb");
}

// The result carries the reason; errno is nothing the caller needs to read.
void ExpectFailure(const SWriteResult& result, int nError) {
    EXPECT_EQ(result.eStatus, EWriteStatus::Failed);
    EXPECT_EQ(result.nError, nError);
}

TEST(OutputFileSaveText, FailsWhenTargetCannotBeOpened) {
    CTempTree tree;
    const std::string strDir = tree.AddDir("dir");

    ExpectFailure(SaveTextToFile(strDir, "text"), EISDIR);
    ExpectFailure(SaveTextToFile(tree.Path("missing/KWL.txt"), "text"), ENOENT);
    ExpectFailure(SaveBytesToFile(strDir, "text"), EISDIR);
}

// Write errors count, not only a failed open.
TEST(OutputFileSaveText, FailsWhenWriteFails) {
    ExpectFailure(SaveTextToFile("/dev/full", "a\nb"), ENOSPC);
    ExpectFailure(SaveBytesToFile("/dev/full", "a\r\nb"), ENOSPC);
}

struct SNobodyTarget {
    std::string strPath;
    int nErrno = 0;
};

int SaveAsNobody(void* pArg) {
    const auto* pTarget = static_cast<const SNobodyTarget*>(pArg);
    const SWriteResult result = SaveTextToFile(pTarget->strPath, "new\ntext");
    if (result.IsWritten())
        return 0;
    return result.nError == pTarget->nErrno ? 1 : 2;
}

// Permissions only bite without root, so the attempt runs as nobody.
TEST(OutputFileSaveText, FailsWithoutPermissionAndKeepsOldContent) {
    CTempTree tree;
    tree.AddFile("locked/old.txt", 10);
    tree.SetMode("locked/old.txt", 0444);
    tree.SetMode("locked", 0555);

    SNobodyTarget newFile{tree.Path("locked/KWL.txt"), EACCES};
    EXPECT_EQ(RunInChild([&] { return SaveAsNobody(&newFile); }, AsNobody()), 1);
    EXPECT_FALSE(std::ifstream(newFile.strPath).good());

    SNobodyTarget oldFile{tree.Path("locked/old.txt"), EACCES};
    EXPECT_EQ(RunInChild([&] { return SaveAsNobody(&oldFile); }, AsNobody()), 1);
    EXPECT_EQ(ReadFile(oldFile.strPath), std::string(10, 'x'));
}

// A folder with room for far less than a large listing, holding the file old.txt.
struct SFullFolder {
    std::string strDir;
    int nErrno; // what the fault reports
};

// Saves a text the folder has no room for over old.txt and as a new file; 0 when both saves
// fail for the fault's reason.
int SaveIntoFullFolder(void* pArg) {
    const auto& folder = *static_cast<const SFullFolder*>(pArg);
    const std::string strText = LargeText();
    for (const char* pszName : {"old.txt", "new.txt"}) {
        const SWriteResult result = SaveTextToFile(folder.strDir + "/" + pszName, strText);
        if (result.eStatus != EWriteStatus::Failed || result.nError != folder.nErrno)
            return 1;
    }
    return 0;
}

// A failed save leaves the old file whole and nothing new behind: no partial file, no
// temporary one.
void ExpectFolderAsBefore(const std::string& strDir) {
    EXPECT_EQ(NamesIn(strDir), std::set<std::string>{"old.txt"});
    EXPECT_EQ(ReadFile(strDir + "/old.txt"), "precious\n");
}

TEST(OutputFileSaveText, FullDiskKeepsOldFileAndLeavesNothing) {
    CSmallDisk disk(64 * 1024);
    if (!disk.IsMounted())
        GTEST_SKIP() << "needs a small tmpfs, which only root can mount: " << disk.Reason();
    std::ofstream(disk.Root() + "/old.txt") << "precious\n";

    SFullFolder folder{disk.Root(), ENOSPC};
    EXPECT_EQ(SaveIntoFullFolder(&folder), 0);
    ExpectFolderAsBefore(disk.Root());
}

// The same fault without privileges: the process may not make files larger than 64 KiB.
TEST(OutputFileSaveText, FileSizeLimitKeepsOldFileAndLeavesNothing) {
    CTempTree tree;
    std::ofstream(tree.Path("old.txt")) << "precious\n";

    SFullFolder folder{tree.Root(), EFBIG};
    EXPECT_EQ(RunInChild([&] { return SaveIntoFullFolder(&folder); }, WithFileSizeLimit(64 * 1024)), 0);
    ExpectFolderAsBefore(tree.Root());
}

// A pipe takes the text in pieces while the other end reads.
TEST(OutputFileCrLf, ThroughPipe) {
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    const std::string strText = LargeText();
    std::string strReceived;
    std::thread reader([&] {
        char buf[65536];
        ssize_t n;
        while ((n = read(fds[0], buf, sizeof buf)) > 0)
            strReceived.append(buf, static_cast<std::size_t>(n));
    });

    const bool bOk = WriteWithCrLf(fds[1], strText).IsWritten();
    close(fds[1]);
    reader.join();
    close(fds[0]);

    EXPECT_TRUE(bOk);
    EXPECT_TRUE(strReceived == WithCrLf(strText));
}

TEST(OutputFileCrLf, FailsOnWriteError) {
    // A closed pipe raises SIGPIPE; callers that write to pipes ignore it, as here.
    struct SIgnorePipe {
        SIgnorePipe() { m_old = std::signal(SIGPIPE, SIG_IGN); }
        ~SIgnorePipe() { std::signal(SIGPIPE, m_old); }
        void (*m_old)(int);
    } ignore;
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    close(fds[0]);
    ExpectFailure(WriteWithCrLf(fds[1], "a\nb"), EPIPE);
    close(fds[1]);

    const int nFull = open("/dev/full", O_WRONLY | O_CLOEXEC);
    ASSERT_GE(nFull, 0);
    ExpectFailure(WriteWithCrLf(nFull, LargeText()), ENOSPC);
    EXPECT_FALSE(WriteAll(nFull, "x"));
    close(nFull);

    ExpectFailure(WriteWithCrLf(-1, "a"), EBADF);
}

} // namespace
