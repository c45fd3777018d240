// The pieces of the JSON export, read back with a real parser where validity is the point.
#include "output/JsonWriter.h"

#include <climits>
#include <cstdint>
#include <string>

#include <gtest/gtest.h>

#include "platform/DirReader.h"
#include "support/Json.h"

namespace {

std::string JsonString(std::string_view str) {
    std::string strOut;
    AppendJsonString(str, strOut);
    return strOut;
}

std::string Time(std::int64_t nSeconds, std::uint32_t nNanoseconds) {
    std::string strOut;
    AppendJsonTime(nSeconds, nNanoseconds, strOut);
    return strOut;
}

// What a parser makes of a JSON value.
std::string ParsedString(const std::string& strJson) {
    return JsonText(ParseJson(strJson));
}

TEST(JsonWriterTest, StringsEscapeWhatJsonRequiresAndKeepTheRest) {
    struct SCase {
        std::string strText;
        std::string strJson;
    };
    const SCase cases[] = {
        {"", R"("")"},
        {"plain.txt", R"("plain.txt")"},
        {"a\"b\\c", R"("a\"b\\c")"},
        {"a\nb\tc\rd\be\ff", R"("a\nb\tc\rd\be\ff")"},
        {"\x01\x1B[31m\x1F", R"("\u0001\u001b[31m\u001f")"},
        {"del\x7F", "\"del\x7F\""},                                   // valid as it is
        {"\xC3\x84rger \xE6\x97\xA5 \xF0\x9F\x98\x80", "\"\xC3\x84rger \xE6\x97\xA5 \xF0\x9F\x98\x80\""},
        {"c1\xC2\x85 ls\xE2\x80\xA8", "\"c1\xC2\x85 ls\xE2\x80\xA8\""}, // exact, not "?"
        {"bad\xFF", "\"bad\xEF\xBF\xBD\""},
        {"\x80\xC3", "\"\xEF\xBF\xBD\xEF\xBF\xBD\""},                   // lone and cut short
        {"\xED\xA0\x80", "\"\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\""},   // a surrogate
        {"\xC0\xAF", "\"\xEF\xBF\xBD\xEF\xBF\xBD\""},                   // overlong "/"
    };
    for (const SCase& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.strText));
        EXPECT_EQ(JsonString(c.strText), c.strJson);
        EXPECT_NO_THROW(ParsedString(c.strJson));
    }
    EXPECT_EQ(ParsedString(JsonString("a\"\\\n\x01z")), "a\"\\\n\x01z");
}

TEST(JsonWriterTest, EveryByteGivesValidJson) {
    std::string strAll;
    for (int b = 1; b < 256; ++b)
        strAll += static_cast<char>(b);
    const std::string strParsed = ParsedString(JsonString(strAll));
    // ASCII comes back exact; each byte from 0x80 on is one U+FFFD.
    EXPECT_EQ(strParsed.substr(0, 127), strAll.substr(0, 127));
    EXPECT_EQ(strParsed.size(), 127 + 128 * 3u);
}

TEST(JsonWriterTest, ExactTextAddsBase64OnlyForInvalidUtf8) {
    std::string strOut;
    AppendJsonExactText("name", "ok \xC3\x84", strOut);
    EXPECT_EQ(strOut, "\"name\":\"ok \xC3\x84\"");
    strOut.clear();
    AppendJsonExactText("name", "a\xFF", strOut);
    EXPECT_EQ(strOut, "\"name\":\"a\xEF\xBF\xBD\",\"name_base64\":\"Yf8=\"");
}

TEST(JsonWriterTest, Base64IsRfc4648) {
    // The test vectors of RFC 4648, section 10.
    const std::pair<std::string, std::string> vectors[] = {
        {"", ""},         {"f", "Zg=="},         {"fo", "Zm8="},         {"foo", "Zm9v"},
        {"foob", "Zm9vYg=="}, {"fooba", "Zm9vYmE="}, {"foobar", "Zm9vYmFy"}, {std::string("\xFF\xFE\x00", 3), "//4A"},
    };
    for (const auto& [strBytes, strBase64] : vectors) {
        std::string strOut;
        AppendBase64(strBytes, strOut);
        EXPECT_EQ(strOut, strBase64) << testing::PrintToString(strBytes);
    }
}

TEST(JsonWriterTest, NumbersAreExactUpTo64Bits) {
    for (const std::uint64_t n : {std::uint64_t{0}, std::uint64_t{1} << 53 | 1, UINT64_MAX}) {
        std::string strOut;
        AppendJsonNumber(n, strOut);
        EXPECT_EQ(strOut, std::to_string(n));
        EXPECT_EQ(ParseJson(strOut).GetUint64(), n);
    }
}

TEST(JsonWriterTest, TimesAreUtcWithNanosecondsOrNull) {
    EXPECT_EQ(Time(0, 0), R"("1970-01-01T00:00:00.000000000Z")");
    EXPECT_EQ(Time(1796911387, 123456789), R"("2026-12-10T14:03:07.123456789Z")");
    EXPECT_EQ(Time(-1, 5), R"("1969-12-31T23:59:59.000000005Z")"); // nanoseconds count forward
    EXPECT_EQ(Time(951782400, 0), R"("2000-02-29T00:00:00.000000000Z")");
    EXPECT_EQ(Time(4102444800, 999999999), R"("2100-01-01T00:00:00.999999999Z")");
    EXPECT_EQ(Time(-62167219200, 0), R"("0000-01-01T00:00:00.000000000Z")");
    EXPECT_EQ(Time(253402300799, 0), R"("9999-12-31T23:59:59.000000000Z")");
    // No RFC 3339 form: unknown, past year 9999, before year 0, an impossible fraction.
    EXPECT_EQ(Time(kUnknownTime, 0), "null");
    EXPECT_EQ(Time(253402300800, 0), "null");
    EXPECT_EQ(Time(-62167219201, 0), "null");
    EXPECT_EQ(Time(INT64_MAX, 0), "null");
    EXPECT_EQ(Time(0, 1000000000), "null");

    std::string strOut;
    AppendJsonTimeSeconds(1796911387, strOut);
    EXPECT_EQ(strOut, R"("2026-12-10T14:03:07Z")");
}

} // namespace
