// Content hashes of real files, checked against the tools people check them with (sha256sum,
// xxhsum), and what hashing must never do: follow a link, block on a FIFO, change access times.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "platform/ContentHash.h"
#include "platform/DirReader.h"
#include "platform/FileDescriptor.h"
#include "support/Files.h"
#include "support/TempTree.h"

namespace {

// The first word the command prints.
std::string FirstWordOf(const std::string& strCommand) {
    struct SClose {
        void operator()(std::FILE* p) const { pclose(p); }
    };
    std::unique_ptr<std::FILE, SClose> pPipe(popen(strCommand.c_str(), "r"));
    if (!pPipe)
        return {};
    char szLine[256] = {};
    if (std::fgets(szLine, sizeof szLine, pPipe.get()) == nullptr)
        return {};
    const std::string strLine(szLine);
    return strLine.substr(0, strLine.find(' '));
}

class ContentHashTest : public ::testing::Test {
protected:
    // The hash of the file as a scan takes it, after reading its status.
    SContentDigest Hash(EHashAlgorithm eAlgorithm, const std::string& strName, std::error_code& ec) {
        CDirReader dir;
        EXPECT_FALSE(dir.OpenPath(m_tree.Root()));
        SEntryStatus status;
        dir.Stat(strName.c_str(), status); // a name that is no file leaves it as it is
        CContentHasher hasher(eAlgorithm);
        SContentDigest digest;
        std::uint64_t nBytes = 0;
        ec = dir.HashFile(hasher, strName.c_str(), status, digest, nBytes);
        m_nBytesRead = nBytes;
        return digest;
    }

    CTempTree m_tree;
    std::uint64_t m_nBytesRead = 0;
};

// Sizes around the read size, so that a digest over several reads is checked too.
TEST_F(ContentHashTest, DigestsAreThoseOfSha256sumAndXxhsum) {
    const std::size_t sizes[] = {0, 1, 3, 64, 256 * 1024 - 1, 256 * 1024, 256 * 1024 + 1,
                                 3 * 1024 * 1024 + 17};
    for (const std::size_t nSize : sizes) {
        SCOPED_TRACE(nSize);
        std::string strContent(nSize, '\0');
        for (std::size_t i = 0; i < nSize; ++i)
            strContent[i] = static_cast<char>((i * 131 + i / 7) & 0xFF);
        const std::string strPath = m_tree.Path("f" + std::to_string(nSize));
        ASSERT_TRUE(WriteFile(strPath, strContent));
        std::error_code ec;
        const SContentDigest sha = Hash(EHashAlgorithm::Sha256, "f" + std::to_string(nSize), ec);
        ASSERT_FALSE(ec) << ec.message();
        EXPECT_EQ(m_nBytesRead, nSize);
        EXPECT_EQ(DigestHex(sha), FirstWordOf("sha256sum " + strPath));
        const SContentDigest xxh = Hash(EHashAlgorithm::Xxh128, "f" + std::to_string(nSize), ec);
        ASSERT_FALSE(ec) << ec.message();
        EXPECT_EQ(DigestHex(xxh), FirstWordOf("xxhsum -H2 " + strPath + " 2>/dev/null"));
        // The same digests from bytes in memory, and back from their text.
        CContentHasher hasher(EHashAlgorithm::Xxh128);
        EXPECT_EQ(hasher.HashBytes(strContent), xxh);
        SContentDigest parsed;
        ASSERT_TRUE(DigestFromHex(DigestHex(sha), EHashAlgorithm::Sha256, parsed));
        EXPECT_EQ(parsed, sha);
    }
}

TEST_F(ContentHashTest, DigestTextsThatAreNotOne) {
    SContentDigest digest;
    const std::string strGood(64, 'a');
    EXPECT_TRUE(DigestFromHex(strGood, EHashAlgorithm::Sha256, digest));
    EXPECT_FALSE(DigestFromHex(strGood, EHashAlgorithm::Xxh128, digest)); // wrong length
    EXPECT_FALSE(DigestFromHex(std::string(63, 'a'), EHashAlgorithm::Sha256, digest));
    EXPECT_FALSE(DigestFromHex(std::string(64, 'g'), EHashAlgorithm::Sha256, digest));
    EXPECT_FALSE(DigestFromHex(std::string(64, 'A'), EHashAlgorithm::Sha256, digest));
    EXPECT_FALSE(DigestFromHex("", EHashAlgorithm::None, digest));
    EXPECT_EQ(HashAlgorithmByName("sha256"), EHashAlgorithm::Sha256);
    EXPECT_EQ(HashAlgorithmByName("xxh128"), EHashAlgorithm::Xxh128);
    EXPECT_EQ(HashAlgorithmByName("SHA256"), std::nullopt);
    EXPECT_EQ(HashAlgorithmByName(""), std::nullopt);
}

// A link is never followed, a FIFO put where a file was never blocks, a directory is no file.
TEST_F(ContentHashTest, OnlyRegularFilesAreRead) {
    m_tree.AddFile("real", 10);
    m_tree.AddLink("link", "real");
    m_tree.AddDir("dir");
    ASSERT_EQ(mkfifo(m_tree.Path("fifo").c_str(), 0644), 0);
    struct SCase {
        const char* pszName;
        std::errc eError;
    };
    const SCase cases[] = {
        {"link", std::errc::too_many_symbolic_link_levels},
        {"fifo", std::errc::invalid_argument},
        {"dir", std::errc::invalid_argument},
        {"gone", std::errc::no_such_file_or_directory},
    };
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.pszName);
        std::error_code ec;
        Hash(EHashAlgorithm::Sha256, c.pszName, ec);
        EXPECT_EQ(ec, std::make_error_code(c.eError)) << ec.message();
    }
}

// A file that changed after the scan read its status: the digest and the status handed back
// are both those of the file as it is now, never the old size beside the new content.
TEST_F(ContentHashTest, AFileChangedSinceItsStatusGetsTheStatusOfWhatWasHashed) {
    ASSERT_TRUE(WriteFile(m_tree.Path("f"), "old content"));
    m_tree.SetTimes("f", 1700000000, 1700000000);
    CDirReader dir;
    ASSERT_FALSE(dir.OpenPath(m_tree.Root()));
    SEntryStatus status;
    ASSERT_FALSE(dir.Stat("f", status));
    ASSERT_TRUE(WriteFile(m_tree.Path("f"), "the new and longer content"));
    CContentHasher hasher(EHashAlgorithm::Sha256);
    SContentDigest digest;
    std::uint64_t nBytes = 0;
    ASSERT_FALSE(dir.HashFile(hasher, "f", status, digest, nBytes));
    EXPECT_EQ(digest, hasher.HashBytes("the new and longer content"));
    SEntryStatus now;
    ASSERT_FALSE(dir.Stat("f", now));
    EXPECT_TRUE(status.IsSameVersionAs(now));
    EXPECT_EQ(status.nSize, 26u);
    EXPECT_NE(status.nLastWrite, 1700000000);
}

// Checking a tree must not make every file look freshly read.
TEST_F(ContentHashTest, AccessTimeStaysAsItWas) {
    m_tree.AddFile("old", 100);
    // Older than its modification: a relatime mount would update it on any plain read.
    m_tree.SetTimes("old", 946684800, 978307200);
    std::error_code ec;
    Hash(EHashAlgorithm::Xxh128, "old", ec);
    ASSERT_FALSE(ec) << ec.message();
    struct stat st {};
    ASSERT_EQ(stat(m_tree.Path("old").c_str(), &st), 0);
    EXPECT_EQ(st.st_atim.tv_sec, 946684800);
}

} // namespace
