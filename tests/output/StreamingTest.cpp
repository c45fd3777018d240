// The three exports written piece by piece into a descriptor, and their progress and cancel.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <functional>
#include <string>

#include "format/KWLFormat.h"
#include "output/HtmlExport.h"
#include "output/ListingBuilder.h"
#include "output/OutputSink.h"
#include "output/ScannedTree.h"
#include "output/TextExport.h"
#include "output/TreeLines.h"
#include "output/TreeWalk.h"
#include "support/Files.h"

namespace {

constexpr const char* kHeading = "Listing of Directory ";

// One export, both ways: the whole text in memory, or written into a sink as it is rendered.
struct SExport {
    const char* pszName;
    bool bCrLf; // its files store LF as CR LF
    std::function<SRenderedText(const CKWLFormat&, const CDirInformation*, SWorkProgress*)> fnBuild;
    std::function<SRenderResult(COutputSink&, const CKWLFormat&, const CDirInformation*)> fnWrite;
};

const SExport kExports[] = {
    {"listing", false,
     [](const CKWLFormat& format, const CDirInformation* pRoot, SWorkProgress* pProgress) {
         return BuildListing(format, pRoot, "dir", kHeading, true, pProgress);
     },
     [](COutputSink& sink, const CKWLFormat& format, const CDirInformation* pRoot) {
         return WriteListing(sink, format, pRoot, "dir", kHeading, true);
     }},
    {"text", true,
     [](const CKWLFormat& format, const CDirInformation* pRoot, SWorkProgress* pProgress) {
         return BuildTextExport(format, pRoot, "dir", kHeading, ";", pProgress);
     },
     [](COutputSink& sink, const CKWLFormat& format, const CDirInformation* pRoot) {
         return WriteTextExport(sink, format, pRoot, "dir", kHeading, ";");
     }},
    {"html", true,
     [](const CKWLFormat& format, const CDirInformation* pRoot, SWorkProgress* pProgress) {
         return BuildHtmlDocument(format, pRoot, "dir", "listing of", "Directory", pProgress);
     },
     [](COutputSink& sink, const CKWLFormat& format, const CDirInformation* pRoot) {
         return WriteHtmlDocument(sink, format, pRoot, "dir", "listing of", "Directory");
     }},
};

// A tree whose outputs are several pieces long and hold more items than one progress batch:
// three directories of 3000 files, one of them with a subdirectory, and files in the root.
class StreamingTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_pTree = new CTempTree;
        for (const char* pszDir : {"alpha", "beta", "gamma"}) {
            for (int i = 0; i < 3000; ++i)
                s_pTree->AddFile(std::string("x/") + pszDir + "/a-file-with-a-long-name-" +
                                     std::to_string(i) + ".txt",
                                 static_cast<std::uint64_t>(i % 7));
        }
        s_pTree->AddFile("x/beta/inner/deep.txt", 4);
        s_pTree->AddFile("x/top.txt", 3);
        s_nItems = 3 * 3000 + 3 + 2 + 1; // files, directories, inner and deep.txt, top.txt
    }
    static void TearDownTestSuite() {
        delete s_pTree;
        s_pTree = nullptr;
    }
    void SetUp() override {
        m_scanned.Scan(s_pTree->Path("x"));
        ASSERT_TRUE(m_format.Validate("name|F-size"));
    }

    static CTempTree* s_pTree;
    static std::uint64_t s_nItems;
    CScannedTree m_scanned;
    CKWLFormat m_format;
};

CTempTree* StreamingTest::s_pTree = nullptr;
std::uint64_t StreamingTest::s_nItems = 0;

// Written piece by piece, each export holds exactly the bytes of the text built in memory
// (with CR LF line ends where its files have them).
TEST_F(StreamingTest, WrittenExportEqualsBuiltText) {
    for (const SExport& e : kExports) {
        SCOPED_TRACE(e.pszName);
        const std::string strBuilt = e.fnBuild(m_format, m_scanned.Root(), nullptr).strText;
        ASSERT_GT(strBuilt.size(), 4u * 64 * 1024);

        const std::string strPath = s_pTree->Path(std::string("out.") + e.pszName);
        const int nFd = open(strPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        ASSERT_GE(nFd, 0);
        COutputSink sink(nFd, e.bCrLf);
        EXPECT_FALSE(e.fnWrite(sink, m_format, m_scanned.Root()).bUndefinedField);
        EXPECT_EQ(sink.Finish().eStatus, EWriteStatus::Written);
        close(nFd);

        EXPECT_TRUE(ReadFile(strPath) == (e.bCrLf ? WithCrLf(strBuilt) : strBuilt));
    }
}

// Every rendered item is counted once; a cancelled build stops early, and what it returns is
// the beginning of the full text.
TEST_F(StreamingTest, BuildersCountItemsAndStopWhenCancelled) {
    for (const SExport& e : kExports) {
        SCOPED_TRACE(e.pszName);
        SWorkProgress progress;
        const std::string strFull = e.fnBuild(m_format, m_scanned.Root(), &progress).strText;
        EXPECT_EQ(progress.nDone.load(), s_nItems);
        EXPECT_EQ(strFull, e.fnBuild(m_format, m_scanned.Root(), nullptr).strText);

        SWorkProgress cancelled;
        cancelled.Cancel();
        const std::string strPart = e.fnBuild(m_format, m_scanned.Root(), &cancelled).strText;
        EXPECT_LT(cancelled.nDone.load(), s_nItems);
        EXPECT_LT(strPart.size(), strFull.size());
        EXPECT_EQ(strFull.compare(0, strPart.size(), strPart), 0);
    }
}

// The listing and the text export render their lines in batches on several threads; the text
// is still that of one renderer going through the tree in walk order, also where a batch ends
// inside a directory's files or between a directory and its subdirectories.
TEST_F(StreamingTest, LinesRenderedInBatchesKeepTheWalkOrder) {
    struct SCase {
        const char* pszName;
        output_detail::SLineStyle style;
        bool bDescend;
    };
    const SCase cases[] = {
        {"listing", {"\r\n", kTabSeparator, 0, true}, true},
        {"listing, not recursive", {"\r\n", kTabSeparator, 0, true}, false},
        {"listing from depth 2", {"\r\n", kTabSeparator, 2, true}, true},
        {"text", {"\n", ";", 0, false, EFieldQuoting::Rfc4180InertFormulas}, true},
    };
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.pszName);
        std::string strOne;
        COutputSink one(strOne);
        output_detail::CLineRenderer lines(one, m_format, c.style);
        output_detail::WalkTree(*m_scanned.Root(), c.bDescend, lines, lines);

        std::string strBatched;
        COutputSink batched(strBatched);
        output_detail::WriteTreeLines(batched, m_format, *m_scanned.Root(), c.bDescend, c.style);
        ASSERT_GT(strOne.size(), 4u * 64 * 1024);
        EXPECT_TRUE(strBatched == strOne);
    }
}

// The text reaches the descriptor while rendering goes on, not only at the end.
TEST(StreamingSink, WritesPiecesBeforeTheEnd) {
    int fds[2];
    ASSERT_EQ(pipe2(fds, O_CLOEXEC), 0);
    ASSERT_GE(fcntl(fds[0], F_SETPIPE_SZ, 1024 * 1024), 1024 * 1024);
    ASSERT_EQ(fcntl(fds[0], F_SETFL, O_NONBLOCK), 0);
    const std::string strLine = std::string(999, 'x') + "\n";

    COutputSink sink(fds[1], true);
    for (int i = 0; i < 200; ++i) {
        sink.Text() += strLine;
        ASSERT_TRUE(sink.ItemDone());
    }
    std::string strArrived(1024 * 1024, '\0');
    const ssize_t nBefore = read(fds[0], strArrived.data(), strArrived.size());
    ASSERT_TRUE(sink.Finish().IsWritten());
    close(fds[1]);
    std::string strRest(1024 * 1024, '\0');
    const ssize_t nRest = read(fds[0], strRest.data(), strRest.size());
    close(fds[0]);

    ASSERT_GE(nBefore, 64 * 1024);
    ASSERT_GE(nRest, 0);
    EXPECT_EQ(static_cast<std::size_t>(nBefore + nRest), 200 * (strLine.size() + 1));
    EXPECT_EQ(strArrived.substr(0, 1001), std::string(999, 'x') + "\r\n");
}

// After a failed write the walk is told to stop, and the reason comes back at the end.
TEST(StreamingSink, StopsAtTheFirstFailedWrite) {
    const int nFull = open("/dev/full", O_WRONLY | O_CLOEXEC);
    ASSERT_GE(nFull, 0);
    COutputSink sink(nFull, false);
    int nItems = 0;
    while (nItems < 1000) {
        sink.Text() += std::string(1000, 'y');
        ++nItems;
        if (!sink.ItemDone())
            break;
    }
    const SWriteResult result = sink.Finish();
    EXPECT_EQ(result.eStatus, EWriteStatus::Failed);
    EXPECT_EQ(result.nError, ENOSPC);
    close(nFull);
    EXPECT_LT(nItems, 100);
}

// A cancel stops the walk at the next count and is told apart from a failure; a sink that
// writes nothing after the cancel leaves no error.
TEST(StreamingSink, CancelIsReportedAsCancelled) {
    SWorkProgress progress;
    std::string strTarget;
    COutputSink sink(strTarget, &progress);
    progress.Cancel();
    int nItems = 0;
    while (nItems < 100000) {
        sink.Text() += "line\n";
        ++nItems;
        if (!sink.ItemDone())
            break;
    }
    EXPECT_LT(nItems, 100000);
    const SWriteResult result = sink.Finish();
    EXPECT_EQ(result.eStatus, EWriteStatus::Cancelled);
    EXPECT_EQ(result.nError, 0);
    EXPECT_EQ(strTarget.size(), 5u * static_cast<std::size_t>(nItems));
}

} // namespace
