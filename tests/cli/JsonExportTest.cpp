// kwl-list -e json read back with a real parser: what every system runs (JsonExportLinuxTest.cpp
// checks a hostile tree entry by entry against Linux's file system).
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "support/Json.h"
#include "support/KwlList.h"
#include "support/Paths.h"
#include "support/TempTree.h"

namespace {

TEST(JsonExportTest, WithoutRecursionSubdirectoriesHaveNoChildren) {
    CTempTree tree;
    tree.AddFile("top/sub/inner", 5);
    tree.AddFile("top/file", 3);
    const SKwlListResult r = RunKwlList({"-e", "json", tree.Path("top") + "/"});
    ASSERT_EQ(r.nStatus, 0) << r.strErr;
    const CJsonDocument doc = ParseJson(r.strOut);
    EXPECT_FALSE(doc["recursive"].GetBool());
    const CJsonValue& root = doc["tree"];
    EXPECT_EQ(JsonText(root["name"]), "top"); // trailing "/" ignored
    const CJsonValue& children = root["children"];
    ASSERT_EQ(children.Size(), 2u);
    const CJsonValue& sub = children[0u];
    EXPECT_EQ(JsonText(sub["name"]), "sub");
    EXPECT_FALSE(HasKey(sub, "children"));
    EXPECT_EQ(doc["totals"]["files"].GetUint64(), 1u);
}

TEST(JsonExportTest, UnreadableDirectoryWritesNothing) {
    CTempTree tree;
    const std::string strFile = tree.Path("out.json");
    const SKwlListResult r = RunKwlList({"-e", "json", "-o", strFile, tree.Path("missing")});
    EXPECT_EQ(r.nStatus, 1);
    EXPECT_EQ(r.strOut, "");
    EXPECT_NE(r.strErr.find("No such file or directory"), std::string::npos) << r.strErr;
    EXPECT_FALSE(std::filesystem::exists(FsPath(strFile)));
}

TEST(JsonExportTest, FormatSeparatorAndLanguageDoNotApply) {
    CTempTree tree;
    tree.AddFile("top/a", 1);
    RunKwlList({"-e", "json", tree.Path("top")}); // the first read moves the access time
    const SKwlListResult plain = RunKwlList({"-e", "json", tree.Path("top")});
    const SKwlListResult other =
        RunKwlList({"-e", "json", "-f", "not a format", "-s", ",", "-l", "de", tree.Path("top")});
    EXPECT_EQ(other.nStatus, 0) << other.strErr;
    const std::size_t nHeaderEnd = plain.strOut.find('\n');
    EXPECT_EQ(other.strOut.substr(nHeaderEnd), plain.strOut.substr(nHeaderEnd));
}

} // namespace
