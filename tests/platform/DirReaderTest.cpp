#include <gtest/gtest.h>

#include <dirent.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "platform/DirReader.h"
#include "support/TempTree.h"

namespace {

std::size_t OpenDescriptors() {
    std::size_t n = 0;
    for (auto it = std::filesystem::directory_iterator("/proc/self/fd");
         it != std::filesystem::directory_iterator(); ++it)
        ++n;
    return n;
}

const SDirEntry* Find(const std::vector<SDirEntry>& entries, const std::string& strName) {
    auto it = std::find_if(entries.begin(), entries.end(),
                           [&](const SDirEntry& e) { return e.strRawName == strName; });
    return it == entries.end() ? nullptr : &*it;
}

TEST(PlatformDirReader, ReadsEveryEntryInEnumerationOrderWithoutFollowingLinks) {
    CTempTree tree;
    for (int i = 0; i < 50; ++i)
        tree.AddFile("f" + std::to_string(i), static_cast<std::uint64_t>(i));
    tree.AddFile(".dot", 3);
    tree.AddFile("raw\n\xFF", 4); // names come back as stored
    tree.AddDir("sub");
    tree.AddLink("dirlink", "sub");
    tree.AddLink("filelink", "f10");

    CDirReader reader;
    ASSERT_TRUE(reader.OpenPath(tree.Root()));
    std::vector<SDirEntry> entries(3); // stale content must go
    reader.ReadAll(entries);

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
    for (const SDirEntry& e : entries)
        names.push_back(e.strRawName);
    EXPECT_EQ(names, expected);
    EXPECT_EQ(entries.size(), 50u + 5);

    EXPECT_TRUE(Find(entries, "sub")->bDirectory);
    EXPECT_FALSE(Find(entries, "dirlink")->bDirectory);
    EXPECT_EQ(Find(entries, "dirlink")->nSize, 3u);
    EXPECT_EQ(Find(entries, "filelink")->nSize, 3u);
    EXPECT_EQ(Find(entries, "f10")->nSize, 10u);
    ASSERT_NE(Find(entries, "raw\n\xFF"), nullptr);
    EXPECT_EQ(Find(entries, "raw\n\xFF")->nSize, 4u);
    EXPECT_TRUE(Find(entries, ".dot")->bHidden);
    EXPECT_FALSE(Find(entries, "f1")->bHidden);
}

TEST(PlatformDirReader, OpenChildRefusesLinksAndFiles) {
    CTempTree tree;
    tree.AddFile("sub/inner", 1);
    tree.AddFile("file", 1);
    tree.AddLink("dirlink", "sub");
    tree.AddDir("odd\x01name");

    CDirReader parent;
    ASSERT_TRUE(parent.OpenPath(tree.Root()));
    const std::size_t nBefore = OpenDescriptors();
    CDirReader child;
    EXPECT_FALSE(child.OpenChild(parent, "dirlink"));
    EXPECT_FALSE(child.OpenChild(parent, "file"));
    EXPECT_FALSE(child.OpenChild(parent, "missing"));
    EXPECT_FALSE(child.IsOpen());
    EXPECT_EQ(OpenDescriptors(), nBefore);
    ASSERT_TRUE(child.OpenChild(parent, "odd\x01name"));
    ASSERT_TRUE(child.OpenChild(parent, "sub")); // reopening closes the last one
    EXPECT_EQ(OpenDescriptors(), nBefore + 1);
    std::vector<SDirEntry> entries;
    child.ReadAll(entries);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].strRawName, "inner");

    CDirReader closed;
    EXPECT_FALSE(child.OpenChild(closed, "sub"));
    closed.ReadAll(entries);
    EXPECT_TRUE(entries.empty());

    // A link given as the path itself is the user's own choice of directory.
    CDirReader viaLink;
    EXPECT_TRUE(viaLink.OpenPath(tree.Path("dirlink")));
    EXPECT_FALSE(viaLink.OpenPath(tree.Path("file")));
    EXPECT_FALSE(viaLink.OpenPath(""));
}

TEST(PlatformDirReader, MovingHandsOverTheDescriptor) {
    CTempTree tree;
    tree.AddFile("x", 1);
    const std::size_t nBefore = OpenDescriptors();
    {
        CDirReader a;
        ASSERT_TRUE(a.OpenPath(tree.Root()));
        CDirReader b(std::move(a));
        EXPECT_FALSE(a.IsOpen());
        EXPECT_TRUE(b.IsOpen());
        CDirReader c;
        ASSERT_TRUE(c.OpenPath(tree.Root()));
        c = std::move(b); // c's own directory is closed
        EXPECT_EQ(OpenDescriptors(), nBefore + 1);
        std::vector<SDirEntry> entries;
        c.ReadAll(entries);
        ASSERT_EQ(entries.size(), 1u);
    }
    EXPECT_EQ(OpenDescriptors(), nBefore);
}

} // namespace
