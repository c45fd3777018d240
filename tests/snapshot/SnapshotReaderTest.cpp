// Snapshots read back: every document kwl-list writes reads back to the tree it was written
// from, any JSON layout of it too, and every broken or foreign document is refused with the
// reason and the place, never a crash.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "output/JsonExport.h"
#include "output/OutputSink.h"
#include "scan/DirectoryScanner.h"
#include "snapshot/SnapshotCompare.h"
#include "snapshot/SnapshotReader.h"
#include "support/Files.h"
#include "support/TempTree.h"

namespace {

// A small document; NODES goes into the root's children.
std::string Document(const std::string& strNodes, const std::string& strErrors = "") {
    return R"({"kwl_tree":1,"generator":"kwl-list 1","root":"/r","recursive":true,)"
           R"("scanned_at":"2026-12-10T14:03:07Z","hash":null,"tree":{"name":"r","type":"directory",)"
           R"("size":0,"files":0,"crtime":null,"atime":null,"mtime":null,"children":[)" +
           strNodes + R"(]},"errors":[)" + strErrors +
           R"(],"totals":{"directories":0,"files":0,"bytes":0}})";
}

std::string File(const std::string& strName, const std::string& strSize = "1") {
    return R"({"name":")" + strName + R"(","type":"file","size":)" + strSize +
           R"(,"mtime":"2026-12-10T14:03:07.5Z"})";
}

TEST(SnapshotReaderTest, BrokenAndForeignDocumentsAreRefusedWithTheReason) {
    struct SCase {
        const char* pszName;
        std::string strText;
        ESnapshotProblem eProblem;
        std::string strDetail;
    };
    const SCase cases[] = {
        {"empty", "", ESnapshotProblem::Truncated, ""},
        {"cut off", Document(File("a")).substr(0, 60), ESnapshotProblem::Truncated, ""},
        {"not JSON", "name;size\n", ESnapshotProblem::NotJson, ""},
        {"something after it", Document("") + " x", ESnapshotProblem::NotJson, ""},
        {"not UTF-8", Document(File("a\xFF")), ESnapshotProblem::InvalidUtf8, ""},
        {"an array", "[1,2]", ESnapshotProblem::NotKwlTree, ""},
        {"a number", "42", ESnapshotProblem::NotKwlTree, ""},
        {"some other JSON", R"({"name":"x","list":[1,{"a":2}]})", ESnapshotProblem::NotKwlTree, ""},
        {"another version", R"({"kwl_tree":2,"tree":{}})", ESnapshotProblem::OtherVersion, ""},
        {"version as text", R"({"kwl_tree":"1"})", ESnapshotProblem::BadValue, "kwl_tree"},
        {"no tree", R"({"kwl_tree":1})", ESnapshotProblem::MissingField, "tree"},
        {"two trees",
         R"({"kwl_tree":1,"tree":{"name":"r","type":"directory","size":0},"tree":{}})",
         ESnapshotProblem::BadValue, "tree"},
        {"a file as the root", R"({"kwl_tree":1,"tree":{"name":"r","type":"file","size":0}})",
         ESnapshotProblem::BadValue, "type"},
        {"negative size", Document(File("a", "-1")), ESnapshotProblem::OutOfRange, "size"},
        {"size past 2^64 - 1", Document(File("a", "18446744073709551616")),
         ESnapshotProblem::OutOfRange, "size"},
        {"fractional size", Document(File("a", "1.5")), ESnapshotProblem::OutOfRange, "size"},
        {"size as text", Document(File("a", "\"1\"")), ESnapshotProblem::BadValue, "size"},
        {"a name twice", Document(File("a") + "," + File("b") + "," + File("a")),
         ESnapshotProblem::DuplicateName, "a"},
        {"a path as a name", Document(File("a/b")), ESnapshotProblem::BadName, "a/b"},
        {"the parent as a name", Document(File("..")), ESnapshotProblem::BadName, ".."},
        {"an empty name", Document(File("")), ESnapshotProblem::BadName, ""},
        {"NUL in a name", Document(File("a\\u0000b")), ESnapshotProblem::BadName,
         std::string("a\0b", 3)},
        {"no name", Document(R"({"type":"file","size":1})"), ESnapshotProblem::MissingField, "name"},
        {"no type", Document(R"({"name":"a","size":1})"), ESnapshotProblem::MissingField, "type"},
        {"no size", Document(R"({"name":"a","type":"file"})"), ESnapshotProblem::MissingField, "size"},
        {"unknown type", Document(R"({"name":"a","type":"socket","size":1})"),
         ESnapshotProblem::BadValue, "type"},
        {"a month 13", Document(R"({"name":"a","type":"file","size":1,"mtime":"2026-13-01T00:00:00Z"})"),
         ESnapshotProblem::BadValue, "mtime"},
        {"a hash that is no hex", Document(R"({"name":"a","type":"file","size":1,"hash":"xyz"})"),
         ESnapshotProblem::BadValue, "hash"},
        {"bad base64", Document(R"({"name":"a","name_base64":"!!!!","type":"file","size":1})"),
         ESnapshotProblem::BadValue, "name_base64"},
        {"children of a file", Document(R"({"name":"a","type":"file","size":1,"children":[]})"),
         ESnapshotProblem::BadValue, "children"},
        {"an error outside the tree", Document(File("a"), R"({"path":"/elsewhere/a","reason":"x","errno":5})"),
         ESnapshotProblem::PathOutside, "/elsewhere/a"},
        {"an error below a file", Document(File("a"), R"({"path":"/r/a/b","reason":"x","errno":5})"),
         ESnapshotProblem::PathOutside, "/r/a/b"},
        // Recursive, no depth limit: every directory was read, so one without children has
        // lost what was below it, which would compare as unchanged.
        {"a directory without children", Document(R"({"name":"d","type":"directory","size":0})"),
         ESnapshotProblem::MissingField, "children"},
        {"a deeper directory without children",
         Document(R"({"name":"d","type":"directory","size":0,"children":[)"
                  R"({"name":"e","type":"directory","size":0}]})"),
         ESnapshotProblem::MissingField, "children"},
        {"a directory above the depth limit without children",
         R"({"kwl_tree":1,"recursive":true,"tree":{"name":"r","type":"directory","size":0,)"
         R"("children":[{"name":"d","type":"directory","size":0}]},"filters":{"max_depth":2}})",
         ESnapshotProblem::MissingField, "children"},
        {"a root without children, not recursive",
         R"({"kwl_tree":1,"recursive":false,"tree":{"name":"r","type":"directory","size":0}})",
         ESnapshotProblem::MissingField, "children"},
        {"depth limit 0",
         R"({"kwl_tree":1,"recursive":true,"tree":{"name":"r","type":"directory","size":0,)"
         R"("children":[]},"filters":{"max_depth":0}})",
         ESnapshotProblem::OutOfRange, "max_depth"},
        {"very deep nesting", "{\"x\":" + std::string(200000, '['), ESnapshotProblem::Truncated, ""},
    };
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.pszName);
        CSnapshot snapshot;
        SSnapshotError error;
        ASSERT_FALSE(ReadSnapshotText(c.strText, snapshot, error));
        EXPECT_EQ(error.eProblem, c.eProblem);
        EXPECT_EQ(error.strDetail, c.strDetail);
        EXPECT_LE(error.nOffset, c.strText.size());
    }
}

// Where nothing was read below a directory, it has no children: without recursion, and at the
// depth limit (which may come after the tree).
TEST(SnapshotReaderTest, DirectoriesWithoutChildrenWhereNothingWasRead) {
    const std::string strUnread = R"({"name":"d","type":"directory","size":4})";
    const std::string strTree = R"("tree":{"name":"r","type":"directory","size":4,"children":[)"
                                R"({"name":"a","type":"directory","size":4,"children":[)" +
                                strUnread + "]}]}";
    const std::string texts[] = {
        R"({"kwl_tree":1,"recursive":false,"tree":{"name":"r","type":"directory","size":0,)"
        R"("children":[)" + strUnread + "]}}",
        R"({"kwl_tree":1,"recursive":true,)" + strTree + R"(,"filters":{"max_depth":2}})",
        R"({"kwl_tree":1,"filters":{"max_depth":2},"recursive":true,)" + strTree + "}",
    };
    for (const std::string& strText : texts) {
        SCOPED_TRACE(strText);
        CSnapshot snapshot;
        SSnapshotError error;
        EXPECT_TRUE(ReadSnapshotText(strText, snapshot, error))
            << static_cast<int>(error.eProblem) << " at " << error.nOffset << ": " << error.strDetail;
    }
    // Without the limit the place of the shallowest such directory is told: its closing brace.
    const std::string strWhole = R"({"kwl_tree":1,"recursive":true,)" + strTree + "}";
    CSnapshot snapshot;
    SSnapshotError error;
    ASSERT_FALSE(ReadSnapshotText(strWhole, snapshot, error));
    EXPECT_EQ(error.eProblem, ESnapshotProblem::MissingField);
    EXPECT_EQ(error.nOffset, strWhole.find(strUnread) + strUnread.size() - 1);
}

// Another program may lay the document out as it likes: fields in any order, spaces, fields
// this reader does not know (with objects and arrays in them).
TEST(SnapshotReaderTest, AnyLayoutOfTheDocumentReads) {
    const std::string strText = R"( {
      "future": {"a": [1, {"b": null}], "c": "d"},
      "tree": { "children": [
          { "size": 7, "extra": [[]], "type": "file", "name": "z", "hash": "00112233445566778899aabbccddeeff" },
          { "name": "?", "name_base64": "/w==", "type": "symlink", "size": 3, "target": "abc" },
          { "type": "directory", "name": "d", "size": 0, "children": [] },
          { "type": "directory", "name": "e", "size": 0 } ],
        "name": "whatever", "type": "directory", "size": 7, "mtime": "1969-12-31T23:59:59.000000001Z" },
      "hash": "xxh128", "root": "?", "root_base64": "cm9vdP8=", "recursive": false,
      "errors": [ { "errno": 13, "reason": "Permission denied", "path": "?", "path_base64": "cm9vdP8vZA==", "more": {} } ],
      "kwl_tree": 1 } )";
    CSnapshot snapshot;
    SSnapshotError error;
    ASSERT_TRUE(ReadSnapshotText(strText, snapshot, error))
        << static_cast<int>(error.eProblem) << " at " << error.nOffset << ": " << error.strDetail;
    EXPECT_EQ(snapshot.strRoot, "root\xFF");
    EXPECT_EQ(snapshot.eHash, EHashAlgorithm::Xxh128);
    EXPECT_FALSE(snapshot.bRecursive);
    ASSERT_EQ(snapshot.Count(), 5u);
    const SSnapEntry& root = snapshot.Entry(CSnapshot::Root());
    EXPECT_EQ(root.nMtime, -1);
    EXPECT_EQ(root.nMtimeNs, 1u);
    // Children in byte order: "d", "e", "z", "\xFF".
    std::vector<std::string> names;
    for (const std::uint32_t* p = snapshot.ChildrenBegin(0); p != snapshot.ChildrenEnd(0); ++p)
        names.emplace_back(snapshot.Name(*p));
    EXPECT_EQ(names, (std::vector<std::string>{"d", "e", "z", "\xFF"}));
    const std::uint32_t* pChildren = snapshot.ChildrenBegin(0);
    EXPECT_TRUE(snapshot.Entry(pChildren[0]).bChildrenKnown);
    EXPECT_TRUE(snapshot.Entry(pChildren[0]).bIncomplete); // the recorded error names it
    EXPECT_FALSE(snapshot.Entry(pChildren[1]).bChildrenKnown);
    ASSERT_NE(snapshot.Hash(pChildren[2]), nullptr);
    EXPECT_EQ(DigestHex(*snapshot.Hash(pChildren[2])), "00112233445566778899aabbccddeeff");
    ASSERT_NE(snapshot.Target(pChildren[3]), nullptr);
    EXPECT_EQ(*snapshot.Target(pChildren[3]), "abc");
    EXPECT_EQ(snapshot.RelativePath(pChildren[3]), "\xFF");
    ASSERT_EQ(snapshot.errors.size(), 1u);
    EXPECT_EQ(snapshot.errors[0].nErrno, 13u);
}

// What the JSON export writes of a hostile tree reads back to the very tree it was written
// from: every name, kind, size, time, hash and link text.
TEST(SnapshotReaderTest, TheExportReadsBackToItsTree) {
    if (!CTempTree::CanMakeLinks())
        GTEST_SKIP() << "links as Linux has them";
    if (!CTempTree::AllowsName("\x01"))
        GTEST_SKIP() << "Windows forbids such names";
    CTempTree tree;
    const std::string strRoot = tree.AddDir("top");
    for (int b = 1; b < 256; ++b) {
        if (b == '/')
            continue;
        const std::string strName = b == '.' ? "x." : std::string(1, static_cast<char>(b));
        ASSERT_TRUE(WriteFile(tree.AddFile("top/bytes/" + strName), std::string(b, 'q')));
    }
    tree.AddFile("top/deep/a/b/c/d.txt", 3);
    tree.AddLink("top/link\n", "target\xFE\t");
    tree.AddDir("top/empty");
    tree.SetTimes("top/deep/a/b/c/d.txt", -5, -5);

    CKWLOption option;
    option.m_bRecursive = true;
    CDirectoryScanner scanner(option);
    scanner.SetReadLinkTargets(true);
    scanner.SetHashAlgorithm(EHashAlgorithm::Sha256);
    CItemTree scanned;
    ASSERT_TRUE(scanner.RebuildTree(scanned, strRoot));
    std::string strText;
    COutputSink sink(strText);
    SJsonDocumentInfo info;
    info.strGenerator = "test";
    info.strRoot = strRoot;
    info.bRecursive = true;
    info.nScannedAt = 1700000000;
    WriteJsonExport(sink, scanned, info);
    sink.Finish();

    CSnapshot readBack;
    SSnapshotError error;
    ASSERT_TRUE(ReadSnapshotText(strText, readBack, error))
        << static_cast<int>(error.eProblem) << " at " << error.nOffset;
    const std::optional<CSnapshot> made = CSnapshot::FromTree(scanned, strRoot, true, {}, 1700000000);
    ASSERT_TRUE(made);
    const CSnapshot& fromTree = *made;
    EXPECT_EQ(readBack.Count(), fromTree.Count());
    EXPECT_EQ(readBack.eHash, EHashAlgorithm::Sha256);
    EXPECT_EQ(readBack.strRoot, strRoot);
    const SCompareResult result = CompareSnapshots(fromTree, readBack);
    EXPECT_FALSE(result.HasDifferences()) << result.changes.size() << " differences";
    // And a comparison does see a difference in each of the fields it reads.
    const std::optional<std::uint32_t> link = readBack.FindChild(0, "link\n");
    ASSERT_TRUE(link);
    EXPECT_EQ(*readBack.Target(*link), "target\xFE\t");
    const std::optional<std::uint32_t> deep = readBack.FindRecordedPath(strRoot + "/deep/a/b/c/d.txt");
    ASSERT_TRUE(deep);
    EXPECT_EQ(readBack.Entry(*deep).nMtime, -5);
}

} // namespace
