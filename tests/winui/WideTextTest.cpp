// The window's one pair of text conversions and its line ends.
#include <gtest/gtest.h>

#include "winui/WideText.h"

namespace {

TEST(WideTextTest, LineEndsBecomeCrLfOnce) {
    const std::pair<std::string, std::string> cases[] = {
        {"", ""},
        {"a\nb", "a\r\nb"},
        {"a\r\nb", "a\r\nb"},
        {"\n\n", "\r\n\r\n"},
        {"end\n", "end\r\n"},
        {"lone\rcr", "lone\rcr"},
    };
    for (const auto& [strIn, strOut] : cases) {
        SCOPED_TRACE(strIn);
        EXPECT_EQ(WithCrLf(strIn), strOut);
        EXPECT_EQ(WithCrLf(Wide(strIn)), Wide(strOut));
    }
}

// A name that is not UTF-8 is shown with a replacement character, never as nothing; every
// other text comes back as it went.
TEST(WideTextTest, ConversionsKeepTextAndMarkWhatIsNotUtf8) {
    EXPECT_EQ(Wide("caf\xE9"), L"caf\uFFFD");
    EXPECT_EQ(Wide("\xFF"), L"\uFFFD");
    for (const std::string& str : {std::string(""), std::string("\xC3\xA4\xE2\x82\xAC"),
                                   std::string("\xF0\x9F\x98\x80 & more")}) {
        EXPECT_EQ(Utf8(Wide(str)), str);
    }
}

} // namespace
