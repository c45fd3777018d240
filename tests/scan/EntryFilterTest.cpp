// The exclude patterns: which names and paths each kind of pattern matches, and which patterns
// are refused.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "scan/EntryFilter.h"

namespace {

// Whether the entry at strPath (components joined by "/", below DIRECTORY) is left out by the
// patterns, walking the path one component at a time as the scan does; a component that is
// left out on the way leaves out what is below it.
bool Excluded(const SFilterSettings& settings, const std::string& strPath, bool bIsDirectory) {
    std::string strError;
    const std::optional<CEntryFilter> filter = CEntryFilter::Compile(settings, strError);
    EXPECT_TRUE(filter) << strError;
    CEntryFilter::CDirState state = filter->RootState();
    std::size_t nStart = 0;
    for (;;) {
        const std::size_t nSlash = strPath.find('/', nStart);
        const std::string strName = strPath.substr(nStart, nSlash - nStart);
        const bool bLast = nSlash == std::string::npos;
        if (filter->Excludes(strName, bLast ? bIsDirectory : true, state))
            return true;
        if (bLast)
            return false;
        state = filter->ChildState(state, strName);
        nStart = nSlash + 1;
    }
}

TEST(EntryFilterTest, WhatEachPatternLeavesOut) {
    struct SCase {
        std::string strPattern;
        std::string strPath;
        bool bIsDirectory;
        bool bExcluded;
    };
    const SCase cases[] = {
        // A name at any depth.
        {".git", ".git", true, true},
        {".git", "a/b/.git", true, true},
        {".git", "a/.gitignore", false, false},
        {"node_modules", "web/node_modules/x/y", false, true},
        {"*.o", "src/deep/x.o", false, true},
        {"*.o", "src/x.o.d", false, false},
        {"x?", "xy", false, true},
        {"x?", "x", false, false},
        {"[abc]1", "b1", false, true},
        {"[!abc]1", "b1", false, false},
        {"[!abc]1", "d1", false, true},
        {"[a-c]z", "bz", false, true},
        {"[]]", "]", false, true},
        {"\\*", "*", false, true},
        {"\\*", "a", false, false},
        {"a\\?", "a?", false, true},
        // A trailing "/": directories only.
        {"build/", "build", true, true},
        {"build/", "build", false, false},
        {"build/", "Build", true, false},
        {"build/", "x/build/y", false, true},
        // "/" inside or in front: anchored at DIRECTORY.
        {"/docs", "docs", true, true},
        {"/docs", "a/docs", true, false},
        {"docs/*.pdf", "docs/a.pdf", false, true},
        {"docs/*.pdf", "x/docs/a.pdf", false, false},
        {"docs/*.pdf", "docs/sub/a.pdf", false, false},
        {"a/*/c", "a/b/c", false, true},
        {"a/*/c", "a/b/b/c", false, false},
        {"a/**/c", "a/c", false, true},
        {"a/**/c", "a/b/b/c", false, true},
        {"**/gen", "gen", true, true},
        {"**/gen", "x/y/gen", true, true},
        {"a/**", "a", true, false},
        {"a/**", "a/x/y", false, true},
        {"src/**/gen/", "src/q/gen", false, false},
        {"src/**/gen/", "src/q/gen", true, true},
        // Exact bytes: control characters and bytes that are not UTF-8.
        {"a\nb", "a\nb", false, true},
        {"a\nb", "a\tb", false, false},
        {"\xFF*", "\xFF\xFE", false, true},
        {"*\x1B*", "x\x1By", false, true},
    };
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.strPattern + " ~ " + c.strPath);
        SFilterSettings settings;
        settings.patterns = {c.strPattern};
        EXPECT_EQ(Excluded(settings, c.strPath, c.bIsDirectory), c.bExcluded);
    }
}

TEST(EntryFilterTest, IgnoreCaseAndHiddenNames) {
    SFilterSettings settings;
    settings.patterns = {"readme", "*.JPG", "Docs/[A-C]*"};
    settings.bIgnoreCase = true;
    EXPECT_TRUE(Excluded(settings, "README", false));
    EXPECT_TRUE(Excluded(settings, "x/a.jpg", false));
    EXPECT_TRUE(Excluded(settings, "docs/b", false));
    EXPECT_FALSE(Excluded(settings, "docs/d", false));
    EXPECT_FALSE(Excluded(settings, "r\xC3\xA9" "adme", false)); // only ASCII letters fold
    settings.bIgnoreCase = false;
    EXPECT_FALSE(Excluded(settings, "README", false));
    SFilterSettings hidden;
    hidden.bNoHidden = true;
    EXPECT_TRUE(Excluded(hidden, ".config", true));
    EXPECT_TRUE(Excluded(hidden, "a/.x", false));
    EXPECT_FALSE(Excluded(hidden, "a.x", false));
}

TEST(EntryFilterTest, PatternsThatCannotBeParsed) {
    for (const char* psz : {"", "[", "a[b", "[!", "x\\", "/", "//", "a//b"}) {
        SCOPED_TRACE(psz);
        SFilterSettings settings;
        settings.patterns = {psz};
        std::string strError;
        EXPECT_FALSE(CEntryFilter::Compile(settings, strError));
        EXPECT_EQ(strError.rfind("bad pattern '", 0), 0u) << strError;
    }
}

} // namespace
