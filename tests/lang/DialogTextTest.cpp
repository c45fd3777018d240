#include <gtest/gtest.h>

#include <string>

#include "platform/Encoding.h"
#include "lang/DialogText.h"

namespace {

std::string Repeat(const std::string& strPiece, std::size_t nTimes) {
    std::string str;
    for (std::size_t i = 0; i < nTimes; ++i)
        str += strPiece;
    return str;
}

TEST(DialogTextTest, DirectoryLabelIsElidedFromSixtyCharacters) {
    const std::string str59 = "/" + Repeat("a", 58);
    EXPECT_EQ(ElideDirectoryLabel(str59), str59);
    const std::string str60 = "/" + Repeat("b", 19) + Repeat("c", 40);
    EXPECT_EQ(ElideDirectoryLabel(str60), "/" + Repeat("b", 19) + "..." + Repeat("c", 40));
    // Characters, not bytes: 59 umlauts are shown whole, 60 are elided between sequences.
    EXPECT_EQ(ElideDirectoryLabel(Repeat("\xC3\xA4", 59)), Repeat("\xC3\xA4", 59));
    const std::string strLabel = ElideDirectoryLabel(Repeat("\xC3\xB6", 70));
    EXPECT_EQ(strLabel, Repeat("\xC3\xB6", 20) + "..." + Repeat("\xC3\xB6", 40));
    EXPECT_EQ(Utf8Length(strLabel), 63u);
}

TEST(DialogTextTest, PreviewIsCutAtTheLimitInCharacters) {
    struct SCase {
        std::string strText;
        std::size_t nLimit;
        std::string strShown;
        bool bShortened;
    };
    const SCase cases[] = {
        {"", 5, "", false},
        {"abcde", 5, "abcde", false},             // exactly L: whole
        {"abcdef", 5, "abcde", true},             // L + 1: first L
        {"\xC3\xA4\xC3\xB6\xE2\x82\xAC!", 3, "\xC3\xA4\xC3\xB6\xE2\x82\xAC", true},
        {"ab\r\ncd", 3, "ab\r", true},            // may fall between CR and LF
        {"a\xFF" "b", 2, "a\xFF", true},          // an invalid byte counts as one
    };
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.strText);
        const SPreviewCut cut = CutPreview(c.strText, c.nLimit);
        EXPECT_EQ(cut.strShown, c.strShown);
        EXPECT_EQ(cut.bShortened, c.bShortened);
    }
}

TEST(DialogTextTest, SampleLinesShowTabsAsSpaces) {
    EXPECT_EQ(SampleLine("Name.ext\t(4321 bytes)\t[01.02.2003]"),
              "Name.ext (4321 bytes) [01.02.2003]");
}

// A line of a megabyte is shown as its first characters and an ellipsis, never cut inside a
// character; a line that fits is shown as it is.
TEST(DialogTextTest, LongLinesAreShownShortened) {
    const std::string kEllipsis = "\xE2\x80\xA6";
    const std::size_t n = kShownLineLimit;
    const struct {
        std::string strText;
        std::string strShown;
    } cases[] = {
        {"", ""},
        {"name|size", "name|size"},
        {Repeat("a", n), Repeat("a", n)},
        {Repeat("a", n + 1), Repeat("a", n - 1) + kEllipsis},
        {Repeat("\xC3\xA4", n), Repeat("\xC3\xA4", n)},
        {Repeat("\xC3\xA4", n + 1), Repeat("\xC3\xA4", n - 1) + kEllipsis},
        {Repeat("a", n - 2) + "\xE2\x82\xAC\xC3\xA4" "b",
         Repeat("a", n - 2) + "\xE2\x82\xAC" + kEllipsis},
        {"name|[" + Repeat("x", 1000000) + "]", "name|[" + Repeat("x", n - 7) + kEllipsis},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.strText.substr(0, 40));
        const std::string strShown = ShownLine(c.strText);
        EXPECT_EQ(strShown, c.strShown);
        EXPECT_LE(Utf8Length(strShown), n);
    }
    // A sample is shortened too, its tabs shown as spaces.
    EXPECT_EQ(SampleLine("Name.ext\t" + Repeat("b", 2 * n)),
              "Name.ext " + Repeat("b", n - 10) + kEllipsis);
}

} // namespace
