#include "cli/JsonTreeCheck.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include <gtest/gtest.h>

#include "support/EntryFacts.h"
#include "support/TempTree.h"

namespace {

// RFC 4648 base64, decoded here rather than trusted to the code under test.
std::string DecodeBase64(std::string_view strText) {
    const std::string_view kAlphabet =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string strBytes;
    unsigned nBits = 0;
    int nCount = 0;
    for (const char c : strText) {
        if (c == '=')
            break;
        nBits = (nBits << 6) | static_cast<unsigned>(kAlphabet.find(c));
        nCount += 6;
        if (nCount >= 8) {
            nCount -= 8;
            strBytes += static_cast<char>((nBits >> nCount) & 0xFF);
        }
    }
    return strBytes;
}

// RFC 3339 in UTC, with the calendar of std::chrono rather than the system's.
std::string Rfc3339(const SFileTime& time) {
    using namespace std::chrono;
    const sys_seconds moment{seconds{time.nSeconds}};
    const sys_days day = floor<days>(moment);
    const year_month_day date{day};
    const hh_mm_ss clock{moment - day};
    char buf[64];
    std::snprintf(buf, sizeof buf, "%04d-%02u-%02uT%02d:%02d:%02d.%09uZ",
                  static_cast<int>(date.year()), static_cast<unsigned>(date.month()),
                  static_cast<unsigned>(date.day()), static_cast<int>(clock.hours().count()),
                  static_cast<int>(clock.minutes().count()),
                  static_cast<int>(clock.seconds().count()), time.nNanoseconds);
    return buf;
}

// The names in a directory on disk, exact.
std::vector<std::string> NamesOnDisk(const std::string& strDir) {
    std::vector<std::string> names;
    for (const std::string& strName : NamesIn(strDir))
        names.push_back(strName);
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

std::string ExactText(const CJsonValue& node, const std::string& strKey) {
    if (HasKey(node, strKey + "_base64"))
        return DecodeBase64(JsonText(node[strKey + "_base64"]));
    return JsonText(node[strKey]);
}

void ExpectNodeMatchesDisk(const CJsonValue& node, const std::string& strPath, std::size_t& nSeen) {
    SCOPED_TRACE(testing::PrintToString(strPath));
    ++nSeen;
    const std::optional<SEntryFacts> facts = EntryFactsOf(strPath);
    ASSERT_TRUE(facts.has_value());
    const std::string strType = JsonText(node["type"]);
    EXPECT_EQ(strType, facts->strType);
    EXPECT_EQ(JsonText(node["mtime"]), Rfc3339(facts->modified));
    EXPECT_EQ(JsonText(node["atime"]), Rfc3339(facts->accessed));
    EXPECT_EQ(JsonText(node["crtime"]), Rfc3339(facts->created));
    if (strType != "directory") {
        EXPECT_EQ(node["size"].GetUint64(), facts->nSize);
        const std::string strAttributes = JsonText(node["attributes"]);
        EXPECT_EQ(strAttributes[1] == 'R', facts->bReadOnly);
        if (strType == "symlink")
            EXPECT_EQ(ExactText(node, "target"), facts->strLinkText);
        else
            EXPECT_FALSE(HasKey(node, "target"));
        return;
    }
    // Every name on disk once, subdirectories first.
    std::vector<std::string> listed;
    bool bFilesBegun = false;
    std::uint64_t nFiles = 0;
    for (const CJsonValue& childNode : node["children"].GetArray()) {
        const bool bDirectory = JsonText(childNode["type"]) == "directory";
        EXPECT_FALSE(bDirectory && bFilesBegun) << "a directory after the files";
        bFilesBegun = bFilesBegun || !bDirectory;
        nFiles += bDirectory ? 0 : 1;
        listed.push_back(ExactText(childNode, "name"));
        ExpectNodeMatchesDisk(childNode, strPath + "/" + listed.back(), nSeen);
    }
    EXPECT_EQ(node["files"].GetUint64(), nFiles);
    std::sort(listed.begin(), listed.end());
    EXPECT_EQ(listed, NamesOnDisk(strPath));
}
