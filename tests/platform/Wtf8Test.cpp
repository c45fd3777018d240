#include <gtest/gtest.h>

#include <string>

#include "platform/Wtf8.h"

namespace {

struct SWtf8Case {
    const char* pszWhat;
    std::u16string strWide;
    std::string strBytes;
};

// Names as Windows may store them and the bytes KWL keeps for them.
const SWtf8Case kCases[] = {
    {"ASCII", u"a.txt", "a.txt"},
    {"two-byte", u"\u00e9", "\xC3\xA9"},
    {"three-byte", u"\u20ac", "\xE2\x82\xAC"},
    {"pair becomes one 4-byte character", u"\U0001F600", "\xF0\x9F\x98\x80"},
    {"lone high surrogate kept", std::u16string{u'a', char16_t(0xD800), u'b'},
     "a\xED\xA0\x80" "b"},
    {"lone low surrogate kept", std::u16string{char16_t(0xDC01)}, "\xED\xB0\x81"},
    {"high surrogate at the end", std::u16string{u'x', char16_t(0xDBFF)}, "x\xED\xAF\xBF"},
    {"low before high is two lone ones", std::u16string{char16_t(0xDC00), char16_t(0xD800)},
     "\xED\xB0\x80\xED\xA0\x80"},
};

TEST(Wtf8, NamesRoundTripExactlyAndUnpairedSurrogatesSurvive) {
    for (const SWtf8Case& c : kCases) {
        SCOPED_TRACE(c.pszWhat);
        EXPECT_EQ(Wtf8FromUtf16(c.strWide), c.strBytes);
        EXPECT_EQ(Utf16FromWtf8(c.strBytes), c.strWide);
    }
}

TEST(Wtf8, BytesThatNameNothingBecomeReplacementCharacters) {
    // A stray continuation byte, an overlong form and a cut sequence: one U+FFFD per byte
    // that starts no sequence, the rest kept.
    EXPECT_EQ(Utf16FromWtf8("a\x80" "b"), (std::u16string{u'a', 0xFFFD, u'b'}));
    EXPECT_EQ(Utf16FromWtf8("\xC0\xAF"), (std::u16string{0xFFFD, 0xFFFD}));
    EXPECT_EQ(Utf16FromWtf8("x\xE2\x82"), (std::u16string{u'x', 0xFFFD, 0xFFFD}));
}

} // namespace
