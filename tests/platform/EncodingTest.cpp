#include <gtest/gtest.h>

#include <string>

#include "platform/Encoding.h"
#include "support/Utf8.h"

namespace {

// "aÄ日😀b": one, two, three and four byte characters.
const std::string kMixed = "a\xC3\x84\xE6\x97\xA5\xF0\x9F\x98\x80"
                           "b";

struct SLengthCase {
    const char* pszWhat;
    std::string strText;
    std::size_t nChars;
    bool bValid;
};

TEST(EncodingTest, CountsCodePointsAndInvalidBytesAsOneEach) {
    const SLengthCase cases[] = {
        {"empty", "", 0, true},
        {"ascii", "abc", 3, true},
        {"mixed", kMixed, 5, true},
        {"invalid bytes", "bad\xFF\xFE", 5, false},
        {"truncated 2-byte", "a\xC3", 2, false},
        {"truncated 3-byte", "\xE6\x97", 2, false},
        {"lead then ascii",
         "\xE6"
         "ab",
         3, false},
        {"overlong", "\xC0\xAF", 2, false},
        {"overlong 3-byte", "\xE0\x80\xAF", 3, false},
        {"surrogate", "\xED\xA0\x80", 3, false},
        {"beyond U+10FFFF", "\xF4\x90\x80\x80", 4, false},
        {"lone continuation", "\x80\x80", 2, false},
        {"largest code point", "\xF4\x8F\xBF\xBF", 1, true},
    };
    for (const SLengthCase& c : cases) {
        SCOPED_TRACE(c.pszWhat);
        EXPECT_EQ(Utf8Length(c.strText), c.nChars);
        EXPECT_EQ(IsValidUtf8(c.strText), c.bValid);
    }
    EXPECT_EQ(Utf8CharLength(kMixed, 0), 1u);
    EXPECT_EQ(Utf8CharLength(kMixed, 1), 2u);
    EXPECT_EQ(Utf8CharLength(kMixed, 3), 3u);
    EXPECT_EQ(Utf8CharLength(kMixed, 6), 4u);
    EXPECT_EQ(Utf8CharLength(kMixed, 2), 1u); // inside a sequence: a byte of its own
}

TEST(EncodingTest, LeftAndRightNeverCutASequence) {
    EXPECT_EQ(Utf8Left(kMixed, 3), "a\xC3\x84\xE6\x97\xA5");
    EXPECT_EQ(Utf8Right(kMixed, 2), "\xF0\x9F\x98\x80"
                                    "b");
    EXPECT_EQ(Utf8Left(kMixed, 0), "");
    EXPECT_EQ(Utf8Right(kMixed, 0), "");
    EXPECT_EQ(Utf8Left(kMixed, 99), kMixed);
    EXPECT_EQ(Utf8Right(kMixed, 99), kMixed);
    EXPECT_EQ(Utf8Left("\xFF\xC3\x84", 1), "\xFF");
    EXPECT_EQ(Utf8Right("\xC3\x84\xFF", 1), "\xFF");
    EXPECT_EQ(Utf8Left("a\xC3", 2), "a\xC3");

    // Any split point: the two halves give back the whole, with the counts asked for.
    for (const std::string& s : {kMixed, std::string("x\xFF\xE6\x97\xA5\xC3y\xF0\x9F\x98\x80")}) {
        const std::size_t n = Utf8Length(s);
        for (std::size_t k = 0; k <= n; ++k) {
            SCOPED_TRACE(k);
            const std::string strLeft = Utf8Left(s, k);
            const std::string strRight = Utf8Right(s, n - k);
            EXPECT_EQ(strLeft + strRight, s);
            EXPECT_EQ(Utf8Length(strLeft), k);
            EXPECT_EQ(Utf8Length(strRight), n - k);
        }
    }
}

TEST(EncodingTest, SanitizeNameReplacesOnlyControlCharacters) {
    const std::pair<std::string, std::string> cases[] = {
        {"a\nb", "a?b"},
        {"tab\there", "tab?here"},
        {"\x7F", "?"},
        {"\x01\x1F", "??"},
        {"\x1B[31mred", "?[31mred"},
        {"space ok", "space ok"},
        {"\xC3\x84\xE6\x97\xA5", "\xC3\x84\xE6\x97\xA5"}, // UTF-8 bytes are not control bytes
        {"\x80\x9F\xFF", "\x80\x9F\xFF"},
        {"", ""},
        // C1: one "?" for the two bytes of each character; U+009B is a terminal's CSI.
        {"\xC2\x80", "?"},
        {"a\xC2\x9B"
         "2Jb",
         "a?2Jb"},
        {"\xC2\x9F\xC2\x85", "??"},
        {"\xC2\xA0\xC2\x7F", "\xC2\xA0\xC2?"}, // no-break space stays; C2 then DEL
        // Line and paragraph separators, but not their neighbours.
        {"one\xE2\x80\xA8two\xE2\x80\xA9", "one?two?"},
        {"\xE2\x80\xA7\xE2\x80\xAA\xE2\x82\xAC", "\xE2\x80\xA7\xE2\x80\xAA\xE2\x82\xAC"},
        // Invalid or cut sequences are kept byte for byte, also next to a control character.
        {"\xC2", "\xC2"},
        {"x\xE2\x80", "x\xE2\x80"},
        {"\xE2\xC2\x9B", "\xE2?"},
        {"\x9B\xC0\x9B\xFF\n", "\x9B\xC0\x9B\xFF?"},
        {"\xE2\x80\x0A", "\xE2\x80?"},
    };
    for (const auto& [strRaw, strClean] : cases)
        EXPECT_EQ(SanitizeName(strRaw), strClean) << testing::PrintToString(strRaw);
}

// On screen a name is valid UTF-8: control characters as "?", every byte that starts no
// well-formed sequence as one U+FFFD, also where the two meet.
TEST(EncodingTest, ScreenNameIsValidUtf8WithReplacements) {
    const std::string strFffd = "\xEF\xBF\xBD";
    const std::pair<std::string, std::string> cases[] = {
        {"plain \xC3\x84", "plain \xC3\x84"},
        {"", ""},
        {"a\xFF" "b", "a" + strFffd + "b"},
        {"\xC3", strFffd},                           // cut sequence at the end
        {"\xE2\x80", strFffd + strFffd},            // one per byte
        {"\xC0\xAF", strFffd + strFffd},            // overlong
        {"\xED\xA0\x80", strFffd + strFffd + strFffd}, // surrogate
        {"\x9B\n\xC2\x85", strFffd + "??"},          // invalid, C0, C1
        {"\xFF\xE2\x80\xA8x", strFffd + "?x"},
    };
    for (const auto& [strRaw, strShown] : cases) {
        std::string strOut = "=";
        AppendScreenName(strRaw, strOut);
        EXPECT_EQ(strOut, "=" + strShown) << testing::PrintToString(strRaw);
        EXPECT_TRUE(IsValidUtf8(strOut));
    }
}

// No control character of any kind survives, and nothing else changes: every code point up
// to U+FFFF, each between two plain characters.
TEST(EncodingTest, SanitizeNameMapsExactlyTheControlCodePoints) {
    for (char32_t cp = 1; cp <= 0xFFFF; ++cp) {
        if (cp >= 0xD800 && cp <= 0xDFFF)
            continue;
        const std::string s = Utf8Of(cp);
        const bool bControl =
            cp < 0x20 || (cp >= 0x7F && cp <= 0x9F) || cp == 0x2028 || cp == 0x2029;
        const std::string strName = "<" + s + ">";
        if (SanitizeName(strName) != (bControl ? "<?>" : strName))
            ADD_FAILURE() << "U+" << std::hex << static_cast<unsigned>(cp);
    }
}

TEST(EncodingTest, Cp1252RoundTripsEveryByte) {
    std::string strAll;
    for (int b = 1; b <= 0xFF; ++b)
        strAll += static_cast<char>(b);
    const std::string strUtf8 = Cp1252ToUtf8(strAll);
    EXPECT_TRUE(IsValidUtf8(strUtf8));
    EXPECT_EQ(Utf8Length(strUtf8), strAll.size());
    std::string strBack = "stale";
    ASSERT_TRUE(Utf8ToCp1252(strUtf8, strBack));
    EXPECT_EQ(strBack, strAll);

    const std::pair<std::string, std::string> known[] = {
        {"\x80", "\xE2\x82\xAC"}, // euro sign
        {"\x8A", "\xC5\xA0"},     // S caron
        {"\x99", "\xE2\x84\xA2"}, // trade mark
        {"\x9F", "\xC5\xB8"},     // Y diaeresis
        {"\x81", "\xC2\x81"},     // undefined: the C1 code point of the same value
        {"\xA0", "\xC2\xA0"},     {"\xC4\xE4\xDF", "\xC3\x84\xC3\xA4\xC3\x9F"}, // Ä ä ß
        {"\xFF", "\xC3\xBF"},
    };
    for (const auto& [strCp, strUtf] : known) {
        EXPECT_EQ(Cp1252ToUtf8(strCp), strUtf);
        std::string strOut;
        EXPECT_TRUE(Utf8ToCp1252(strUtf, strOut));
        EXPECT_EQ(strOut, strCp);
    }
}

TEST(EncodingTest, Utf8ToCp1252RejectsWhatTheCodePageCannotHold) {
    for (const std::string& s : {
             std::string("\xCE\xA9"),         // Greek Omega
             std::string("ok \xC5\x82"),      // l with stroke
             std::string("\xF0\x9F\x98\x80"), // emoji
             std::string("\xC2\x80"),         // U+0080: 0x80 is the euro sign
             std::string("bad\xFF"),          // not UTF-8 at all
         }) {
        std::string strOut;
        EXPECT_FALSE(Utf8ToCp1252(s, strOut)) << s;
    }
}

// What the code page lacks becomes one "?" per character or stray byte; the rest keeps its
// place, so a listing on the clipboard keeps its lines and columns.
TEST(EncodingTest, Utf8ToCp1252LossyMarksWhatTheCodePageCannotHold) {
    const std::pair<std::string, std::string> cases[] = {
        {"", ""},
        {"plain\r\n", "plain\r\n"},
        {"\xC3\x84\xC3\xA4\xC3\x9F \xE2\x82\xAC", "\xC4\xE4\xDF \x80"},
        {"a\xCE\xA9" "b", "a?b"},             // Greek Omega
        {"\xF0\x9F\x98\x80|x", "?|x"},         // emoji: one character, one "?"
        {"bad\xFF\xC3", "bad??"},              // stray and cut bytes
        {"\xC2\x80", "?"},                     // U+0080: 0x80 is the euro sign
    };
    for (const auto& [strUtf8, strCp] : cases) {
        SCOPED_TRACE(strUtf8);
        EXPECT_EQ(Utf8ToCp1252Lossy(strUtf8), strCp);
    }
}

// Valid UTF-8 is kept; anything else is Windows-1252 as a whole, also where a part of it would
// pass for UTF-8.
TEST(EncodingTest, FormatLineIsUtf8WhenValidOtherwiseWindows1252) {
    const std::pair<std::string, std::string> cases[] = {
        {"", ""},
        {"name|size", "name|size"},
        {"[Gr\xC3\xB6sse]", "[Gr\xC3\xB6sse]"},
        {"[Gr\xF6sse]", "[Gr\xC3\xB6sse]"},
        {"\xE2\x82\xAC", "\xE2\x82\xAC"},
        {"\x80", "\xE2\x82\xAC"},
        {"\xC3\xB6\xF6", "\xC3\x83\xC2\xB6\xC3\xB6"},
        {"\xC3", "\xC3\x83"}, // a cut sequence
    };
    for (const auto& [strIn, strOut] : cases) {
        SCOPED_TRACE(strIn);
        EXPECT_EQ(FormatLineToUtf8(strIn), strOut);
    }
}

} // namespace
