// What only Windows has, through the built kwl-list.exe on real folders: attribute bits set by
// Windows' own attrib, names that plain paths cannot reach, paths past MAX_PATH, and files
// that another program holds open.
#include <windows.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/Files.h"
#include "support/KwlList.h"
#include "support/TempTree.h"
#include "support/windows/Process.h"
#include "support/windows/Wide.h"

namespace {

const char* const kAttributeFormat = "name|F-size|F-arch|F-hid|F-sys|F-compr|F-ro";

// The listing's lines, indentation left out: each line once.
std::set<std::string> LinesOf(const std::string& strListing) {
    std::set<std::string> lines;
    for (std::size_t nPos = 0; nPos < strListing.size();) {
        std::size_t nEnd = strListing.find("\r\n", nPos);
        if (nEnd == std::string::npos)
            nEnd = strListing.size();
        const std::string strLine = strListing.substr(nPos, nEnd - nPos);
        lines.insert(strLine.substr(std::min(strLine.find_first_not_of(' '), strLine.size())));
        nPos = nEnd + 2;
    }
    return lines;
}

// The listing's line of the entry strName; empty when there is none.
std::string LineOf(const std::string& strListing, const std::string& strName) {
    for (const std::string& strLine : LinesOf(strListing))
        if (strLine.starts_with(strName + "\t"))
            return strLine;
    return {};
}

#define EXPECT_LINE(strListing, strLine) \
    EXPECT_TRUE(LinesOf(strListing).contains(strLine)) << (strLine) << " in\n" << (strListing)

// The JSON document's line of the entry strName (one entry a line).
std::string JsonLineOf(const std::string& strJson, const std::string& strName) {
    const std::size_t nPos = strJson.find("{\"name\":\"" + strName + "\"");
    if (nPos == std::string::npos)
        return {};
    return strJson.substr(nPos, strJson.find('\n', nPos) - nPos);
}

// Runs Windows' own attrib.exe, as a user would.
void Attrib(const std::vector<std::string>& args) {
    wchar_t szSystem[MAX_PATH];
    const UINT n = GetSystemDirectoryW(szSystem, MAX_PATH);
    CTempTree capture;
    const SProgramFiles files{capture.Path("out"), capture.Path("err"), ""};
    const int nStatus =
        RunProgram(Narrow(std::wstring(szSystem, n)) + "\\attrib.exe", args, files);
    ASSERT_EQ(nStatus, 0) << ReadFile(files.strOut) << ReadFile(files.strErr);
}

struct SAttributeCase {
    const char* pszName;
    std::vector<std::string> flags; // given to attrib
    const char* pszLetters;         // arch hid sys compr ro, as the listing shows them
    const char* pszJson;            // "attributes" in the JSON document: A R C S H
};

// Every regular file carries the archive bit here (Wine sets it on every file).
const SAttributeCase kAttributeCases[] = {
    {"plain.txt", {}, "A\t-\t-\t-\t-", "A----"},
    {"hidden.txt", {"+h"}, "A\tH\t-\t-\t-", "A---H"},
    {"system.txt", {"+s"}, "A\t-\tS\t-\t-", "A--S-"},
    {"readonly.txt", {"+r"}, "A\t-\t-\t-\tR", "AR---"},
    {"archive.txt", {"+a"}, "A\t-\t-\t-\t-", "A----"},
    {"everything.txt", {"+h", "+s", "+r", "+a"}, "A\tH\tS\t-\tR", "AR-SH"},
};

TEST(WindowsAttributes, AttribBitsShowInTheKeywordsAndInJson) {
    CTempTree tree;
    for (const SAttributeCase& c : kAttributeCases) {
        tree.AddFile(std::string("d/") + c.pszName, 3);
        for (const std::string& strFlag : c.flags)
            Attrib({strFlag, tree.Path(std::string("d/") + c.pszName)});
    }
    const SKwlListResult listing = RunKwlList({"-f", kAttributeFormat, tree.Path("d")});
    ASSERT_EQ(listing.nStatus, 0) << listing.strErr;
    const SKwlListResult json = RunKwlList({"-e", "json", tree.Path("d")});
    ASSERT_EQ(json.nStatus, 0) << json.strErr;
    for (const SAttributeCase& c : kAttributeCases) {
        SCOPED_TRACE(c.pszName);
        EXPECT_EQ(LineOf(listing.strOut, c.pszName), std::string(c.pszName) + "\t3\t" + c.pszLetters);
        EXPECT_NE(JsonLineOf(json.strOut, c.pszName).find(std::string("\"attributes\":\"") +
                                                          c.pszJson + "\""),
                  std::string::npos)
            << JsonLineOf(json.strOut, c.pszName);
    }
}

// Hidden and system files and folders are listed like any other, and a hidden folder is read.
TEST(WindowsAttributes, HiddenAndSystemEntriesAreListedAndEntered) {
    CTempTree tree;
    tree.AddFile("d/secret/inner.txt", 4);
    tree.AddFile("d/boot.ini", 6);
    Attrib({"+h", "+s", tree.Path("d/secret")});
    Attrib({"+h", "+s", tree.Path("d/boot.ini")});
    const SKwlListResult r = RunKwlList({"-r", "-f", "name|size", tree.Path("d")});
    ASSERT_EQ(r.nStatus, 0) << r.strErr;
    EXPECT_LINE(r.strOut, "secret\t4");
    EXPECT_LINE(r.strOut, "inner.txt\t4");
    EXPECT_LINE(r.strOut, "boot.ini\t6");
}

// Names that a plain path cannot reach: Windows drops a trailing dot or space, and CON, NUL
// or AUX anywhere in a path mean devices. They are listed with their sizes, and folders of
// such names are read.
TEST(WindowsNames, TrailingDotsAndDeviceNamesAreListedAndRead) {
    CTempTree tree;
    tree.AddFile("d/ends with dot.", 5);
    tree.AddFile("d/ends with space ", 6);
    tree.AddFile("d/CON", 7);
    tree.AddFile("d/nul.txt", 8);
    tree.AddFile("d/folder./inside.txt", 9);
    tree.AddFile("d/AUX/inside too.txt", 10);
    const SKwlListResult r = RunKwlList({"-r", "-f", "name|size", tree.Path("d")});
    ASSERT_EQ(r.nStatus, 0) << r.strErr;
    for (const char* pszLine : {"ends with dot.\t5", "ends with space \t6", "CON\t7", "nul.txt\t8",
                                "folder.\t9", "inside.txt\t9", "AUX\t10", "inside too.txt\t10"})
        EXPECT_LINE(r.strOut, std::string(pszLine));
}

// A tree whose deepest path is far past MAX_PATH (260) is read whole.
TEST(WindowsPaths, PathOfFourHundredCharactersIsRead) {
    CTempTree tree;
    const std::string strLevel(50, 'p'); // 8 levels: over 400 characters below the root
    std::string strRelative = "d";
    for (int i = 0; i < 8; ++i)
        strRelative += "/" + strLevel;
    tree.AddFile(strRelative + "/deepest.txt", 11);
    ASSERT_GT(tree.Path(strRelative + "/deepest.txt").size(), 400u);
    const SKwlListResult r = RunKwlList({"-r", "-f", "name|size", tree.Path("d")});
    ASSERT_EQ(r.nStatus, 0) << r.strErr;
    EXPECT_LINE(r.strOut, "deepest.txt\t11");
    // Every level carries the file's size up.
    EXPECT_LINE(r.strOut, strLevel + "\t11");

    // And -o writes into a folder that deep.
    const std::string strOut = tree.Path(strRelative + "/list.txt");
    const SKwlListResult saved = RunKwlList({"-f", "name", tree.Path("d"), "-o", strOut});
    EXPECT_EQ(saved.nStatus, 0) << saved.strErr;
    EXPECT_EQ(ReadFile("\\\\?\\" + strOut).substr(0, 8), "Listing ");
}

// -o refuses a read-only file as it refuses one on Linux: the file keeps its content and no
// temporary file is left beside it.
TEST(WindowsSave, ReadOnlyTargetIsRefused) {
    CTempTree tree;
    tree.AddFile("d/a.txt", 1);
    tree.AddFile("out/locked.txt", 10);
    Attrib({"+r", tree.Path("out/locked.txt")});
    const SKwlListResult refused =
        RunKwlList({"-f", "name", tree.Path("d"), "-o", tree.Path("out/locked.txt")});
    EXPECT_EQ(refused.nStatus, 1);
    EXPECT_EQ(ReadFile(tree.Path("out/locked.txt")), std::string(10, 'x'));
    EXPECT_EQ(NamesIn(tree.Path("out")), std::set<std::string>{"locked.txt"});
}

// An existing file keeps its attributes when -o replaces it, as it keeps its permissions on
// Linux.
TEST(WindowsSave, HiddenTargetIsReplacedAndStaysHidden) {
    if (UnderWine())
        GTEST_SKIP() << "Wine's ReplaceFileW does not carry the attributes over";
    CTempTree tree;
    tree.AddFile("d/a.txt", 1);
    tree.AddFile("out/hidden.txt", 10);
    Attrib({"+h", tree.Path("out/hidden.txt")});
    const SKwlListResult replaced =
        RunKwlList({"-f", "name", tree.Path("d"), "-o", tree.Path("out/hidden.txt")});
    ASSERT_EQ(replaced.nStatus, 0) << replaced.strErr;
    const SKwlListResult listing = RunKwlList({"-f", "name", tree.Path("d")});
    EXPECT_EQ(ReadFile(tree.Path("out/hidden.txt")), listing.strOut);
    EXPECT_TRUE(GetFileAttributesW(ExtendedPath(tree.Path("out/hidden.txt")).c_str()) &
                FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(NamesIn(tree.Path("out")), std::set<std::string>{"hidden.txt"});
}

// Another program holds the target open and does not let it be deleted or renamed over: the
// save fails with status 1, the file keeps what it had, and no temporary file is left. Once
// the other program lets go, the same save succeeds.
TEST(WindowsSave, TargetHeldOpenByAnotherProgramKeepsItsContent) {
    CTempTree tree;
    tree.AddFile("d/a.txt", 1);
    tree.AddFile("out/list.txt", 10);
    const std::string strTarget = tree.Path("out/list.txt");
    {
        const CUniqueHandle held = OwnHandle(CreateFileW(
            ExtendedPath(strTarget).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_NE(held, nullptr);
        const SKwlListResult r = RunKwlList({"-f", "name", tree.Path("d"), "-o", strTarget});
        EXPECT_EQ(r.nStatus, 1) << r.strOut;
        EXPECT_NE(r.strErr, "");
        EXPECT_EQ(ReadFile(strTarget), std::string(10, 'x'));
        // Nothing of ours is left (Wine's ReplaceFileW leaves a file rf*.tmp of its own).
        for (const std::string& strName : NamesIn(tree.Path("out")))
            EXPECT_TRUE(strName == "list.txt" || (UnderWine() && strName.starts_with("rf")))
                << strName;
    }
    const SKwlListResult r = RunKwlList({"-f", "name", tree.Path("d"), "-o", strTarget});
    EXPECT_EQ(r.nStatus, 0) << r.strErr;
    EXPECT_EQ(ReadFile(strTarget).substr(0, 8), "Listing ");
}

// A file that another program holds open without any sharing is still listed with its size:
// the listing comes from the folder, not from opening each file.
TEST(WindowsScan, FileHeldOpenWithoutSharingIsListed) {
    CTempTree tree;
    const std::string strFile = tree.AddFile("d/busy.db", 12);
    const CUniqueHandle held =
        OwnHandle(CreateFileW(ExtendedPath(strFile).c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_NE(held, nullptr);
    const SKwlListResult r = RunKwlList({"-f", "name|size", tree.Path("d")});
    ASSERT_EQ(r.nStatus, 0) << r.strErr;
    EXPECT_LINE(r.strOut, "busy.db\t12");
}

} // namespace

namespace {

// The directories are read on worker threads that Windows schedules as it likes: the bytes
// are the same for any number of them.
TEST(WindowsScan, AnyNumberOfThreadsGivesTheSameBytes) {
    CTempTree tree;
    for (int nDir = 0; nDir < 12; ++nDir)
        for (int nFile = 0; nFile < 8; ++nFile)
            tree.AddFile("d/dir" + std::to_string(nDir) + "/sub" + std::to_string(nFile % 3) +
                             "/f" + std::to_string(nFile),
                         static_cast<std::uint64_t>(nDir * 10 + nFile));
    const std::vector<std::string> args = {"-r", "-f", "D-[D ]-name|size|D-files|modTime",
                                           tree.Path("d")};
    std::vector<std::string> one = args;
    one.insert(one.begin(), {"-j", "1"});
    const SKwlListResult reference = RunKwlList(one);
    ASSERT_EQ(reference.nStatus, 0) << reference.strErr;
    for (const char* pszThreads : {"2", "3", "8", "32"}) {
        SCOPED_TRACE(pszThreads);
        std::vector<std::string> many = args;
        many.insert(many.begin(), {"-j", pszThreads});
        const SKwlListResult r = RunKwlList(many);
        EXPECT_EQ(r.nStatus, 0) << r.strErr;
        EXPECT_EQ(r.strOut, reference.strOut);
    }
}

// A chain of 150 folders, 300 characters below the tree's folder, is read to its leaf.
TEST(WindowsScan, DeepChainIsReadToItsLeaf) {
    CTempTree tree;
    tree.AddChain("c", 150);
    const SKwlListResult r = RunKwlList({"-r", "-f", "name|size|D-files", tree.Path("c")});
    ASSERT_EQ(r.nStatus, 0) << r.strErr;
    EXPECT_NE(r.strOut.find("\r\n" + std::string(2 * 150, ' ') + "leaf.txt\t0"), std::string::npos)
        << r.strOut.substr(r.strOut.size() > 600 ? r.strOut.size() - 600 : 0);
}

} // namespace
