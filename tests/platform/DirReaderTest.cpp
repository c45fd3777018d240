#include <gtest/gtest.h>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "platform/DirReader.h"
#include "support/TempTree.h"

namespace {

const std::error_code kNoError;

std::size_t OpenDescriptors() {
    return CountEntries("/proc/self/fd");
}

// One entry as the reader reports it: the raw name, the kind the directory tells, the status.
struct SEntry {
    std::string strRawName;
    EEntryKind eKind = EEntryKind::Unknown;
    SEntryStatus status;
};

std::vector<SEntry> ReadAll(CDirReader& reader) {
    CDirNames names;
    EXPECT_EQ(reader.ReadNames(names), kNoError);
    std::vector<SEntry> entries;
    for (std::size_t i = 0; i < names.Count(); ++i) {
        SEntry& e = entries.emplace_back();
        e.strRawName = names.Name(i);
        e.eKind = names.Kind(i);
        EXPECT_EQ(reader.Stat(names.Name(i), e.status), kNoError) << e.strRawName;
    }
    return entries;
}

const SEntry* Find(const std::vector<SEntry>& entries, const std::string& strName) {
    auto it = std::find_if(entries.begin(), entries.end(),
                           [&](const SEntry& e) { return e.strRawName == strName; });
    return it == entries.end() ? nullptr : &*it;
}

// What the JSON export needs beyond the listing: kinds, times to the nanosecond, link texts of
// any length exactly, and the directory's own status.
TEST(DirReaderTest, KindsNanosecondsAndLinkTexts) {
    CTempTree tree;
    tree.AddFile("file", 1);
    tree.AddDir("dir");
    const std::string strLong(4000, 'x'); // far longer than the first guess at its size
    tree.AddLink("long", strLong);
    tree.AddLink("hostile", "t\x01\n\xFF");
    ASSERT_EQ(mkfifo(tree.Path("fifo").c_str(), 0644), 0);
    const timespec times[2] = {{1234567890, 111111111}, {-2, 999999999}};
    ASSERT_EQ(utimensat(AT_FDCWD, tree.Path("file").c_str(), times, 0), 0);

    CDirReader reader;
    ASSERT_EQ(reader.OpenPath(tree.Root()), kNoError);
    const std::vector<SEntry> entries = ReadAll(reader);
    const std::pair<const char*, EFileType> kinds[] = {{"file", EFileType::Regular},
                                                       {"dir", EFileType::Directory},
                                                       {"long", EFileType::Symlink},
                                                       {"fifo", EFileType::Other}};
    for (const auto& [pszName, eType] : kinds)
        EXPECT_EQ(Find(entries, pszName)->status.eType, eType) << pszName;
    EXPECT_EQ(Find(entries, "file")->eKind, EEntryKind::Regular);
    const SEntryStatus& file = Find(entries, "file")->status;
    EXPECT_EQ(file.nLastAccess, 1234567890);
    EXPECT_EQ(file.nLastAccessNs, 111111111u);
    EXPECT_EQ(file.nLastWrite, -2);
    EXPECT_EQ(file.nLastWriteNs, 999999999u);

    std::string strTarget;
    ASSERT_EQ(reader.ReadLinkTarget("long", strTarget), kNoError);
    EXPECT_EQ(strTarget, strLong);
    ASSERT_EQ(reader.ReadLinkTarget("hostile", strTarget), kNoError);
    EXPECT_EQ(strTarget, "t\x01\n\xFF");
    EXPECT_EQ(reader.ReadLinkTarget("file", strTarget), std::errc::invalid_argument);

    SEntryStatus self;
    ASSERT_EQ(reader.StatSelf(self), kNoError);
    EXPECT_TRUE(self.IsDirectory());
}

TEST(DirReaderTest, ReadsEveryEntryInEnumerationOrderWithoutFollowingLinks) {
    CTempTree tree;
    for (int i = 0; i < 50; ++i)
        tree.AddFile("f" + std::to_string(i), static_cast<std::uint64_t>(i));
    tree.AddFile(".dot", 3);
    tree.AddFile("raw\n\xFF", 4); // names come back as stored
    tree.AddDir("sub");
    tree.AddLink("dirlink", "sub");
    tree.AddLink("filelink", "f10");

    CDirReader reader;
    ASSERT_EQ(reader.OpenPath(tree.Root()), kNoError);
    const std::vector<SEntry> entries = ReadAll(reader);

    std::vector<std::string> expected;
    DIR* pDir = opendir(tree.Root().c_str());
    ASSERT_NE(pDir, nullptr);
    while (const dirent* pEnt = readdir(pDir)) {
        const std::string s = pEnt->d_name;
        if (s != "." && s != "..")
            expected.push_back(s);
    }
    closedir(pDir);
    std::vector<std::string> names;
    for (const SEntry& e : entries)
        names.push_back(e.strRawName);
    EXPECT_EQ(names, expected);
    EXPECT_EQ(entries.size(), 50u + 5);

    EXPECT_TRUE(Find(entries, "sub")->status.IsDirectory());
    EXPECT_EQ(Find(entries, "sub")->eKind, EEntryKind::Directory);
    EXPECT_FALSE(Find(entries, "dirlink")->status.IsDirectory());
    EXPECT_EQ(Find(entries, "dirlink")->eKind, EEntryKind::Symlink);
    EXPECT_EQ(Find(entries, "dirlink")->status.nSize, 3u);
    EXPECT_EQ(Find(entries, "filelink")->status.nSize, 3u);
    EXPECT_EQ(Find(entries, "f10")->status.nSize, 10u);
    ASSERT_NE(Find(entries, "raw\n\xFF"), nullptr);
    EXPECT_EQ(Find(entries, "raw\n\xFF")->status.nSize, 4u);
    EXPECT_NE(Find(entries, "f1")->status.identity, Find(entries, "f10")->status.identity);
    EXPECT_EQ(Find(entries, "f1")->status.identity.nDevice,
              Find(entries, "f10")->status.identity.nDevice);
    SEntryStatus gone;
    EXPECT_EQ(reader.Stat("no-such-entry", gone), std::errc::no_such_file_or_directory);

    // A second read of the same names object starts afresh.
    CDirReader again;
    ASSERT_EQ(again.OpenPath(tree.Path("sub")), kNoError);
    CDirNames reused;
    ASSERT_EQ(reader.OpenPath(tree.Root()), kNoError);
    ASSERT_EQ(reader.ReadNames(reused), kNoError);
    ASSERT_EQ(again.ReadNames(reused), kNoError);
    EXPECT_EQ(reused.Count(), 0u);
}

TEST(DirReaderTest, OpenChildRefusesLinksAndFiles) {
    CTempTree tree;
    tree.AddFile("sub/inner", 1);
    tree.AddFile("file", 1);
    tree.AddLink("dirlink", "sub");
    tree.AddDir("odd\x01name");

    CDirReader parent;
    ASSERT_EQ(parent.OpenPath(tree.Root()), kNoError);
    const std::size_t nBefore = OpenDescriptors();
    CDirReader child;
    EXPECT_EQ(child.OpenChild(parent, "dirlink"), std::errc::not_a_directory);
    EXPECT_EQ(child.OpenChild(parent, "file"), std::errc::not_a_directory);
    EXPECT_EQ(child.OpenChild(parent, "missing"), std::errc::no_such_file_or_directory);
    EXPECT_FALSE(child.IsOpen());
    EXPECT_EQ(OpenDescriptors(), nBefore);
    ASSERT_EQ(child.OpenChild(parent, "odd\x01name"), kNoError);
    ASSERT_EQ(child.OpenChild(parent, "sub"), kNoError); // reopening closes the last one
    EXPECT_EQ(OpenDescriptors(), nBefore + 1);
    const std::vector<SEntry> entries = ReadAll(child);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].strRawName, "inner");

    CDirReader closed;
    EXPECT_EQ(child.OpenChild(closed, "sub"), std::errc::bad_file_descriptor);
    CDirNames names;
    EXPECT_EQ(closed.ReadNames(names), std::errc::bad_file_descriptor);
    EXPECT_EQ(names.Count(), 0u);

    // A link given as the path itself is the user's own choice of directory.
    CDirReader viaLink;
    EXPECT_EQ(viaLink.OpenPath(tree.Path("dirlink")), kNoError);
    EXPECT_EQ(viaLink.OpenPath(tree.Path("file")), std::errc::not_a_directory);
    EXPECT_EQ(viaLink.OpenPath(""), std::errc::no_such_file_or_directory);
}

TEST(DirReaderTest, MovingHandsOverTheDescriptor) {
    CTempTree tree;
    tree.AddFile("x", 1);
    const std::size_t nBefore = OpenDescriptors();
    {
        CDirReader a;
        ASSERT_EQ(a.OpenPath(tree.Root()), kNoError);
        CDirReader b(std::move(a));
        EXPECT_FALSE(a.IsOpen());
        EXPECT_TRUE(b.IsOpen());
        CDirReader c;
        ASSERT_EQ(c.OpenPath(tree.Root()), kNoError);
        c = std::move(b); // c's own directory is closed
        EXPECT_EQ(OpenDescriptors(), nBefore + 1);
        ASSERT_EQ(ReadAll(c).size(), 1u);

        // Taken over once read, to open what is below it: still the same directory.
        CFileDescriptor fd = c.TakeDescriptor();
        EXPECT_FALSE(c.IsOpen());
        EXPECT_EQ(OpenDescriptors(), nBefore + 1);
        SFileIdentity identity;
        ASSERT_EQ(IdentityOf(fd, identity), kNoError);
        struct stat st {};
        ASSERT_EQ(stat(tree.Root().c_str(), &st), 0);
        EXPECT_EQ(identity, (SFileIdentity{st.st_dev, st.st_ino}));
        CFileDescriptor moved(std::move(fd));
        fd = std::move(moved);
        EXPECT_TRUE(fd.IsOpen());
        EXPECT_FALSE(moved.IsOpen());
        EXPECT_EQ(OpenDescriptors(), nBefore + 1);
    }
    EXPECT_EQ(OpenDescriptors(), nBefore);
}

} // namespace
