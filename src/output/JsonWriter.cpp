#include "output/JsonWriter.h"

#include <array>
#include <charconv>
#include <chrono>

#include "platform/Encoding.h"

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD"; // U+FFFD

// Bytes that a JSON string cannot hold as they are, or that may start a sequence to check:
// everything else is copied in runs.
constexpr std::array<bool, 256> kNeedsCare = [] {
    std::array<bool, 256> table{};
    for (std::size_t b = 0; b < 0x20; ++b)
        table[b] = true;
    table['"'] = true;
    table['\\'] = true;
    for (std::size_t b = 0x80; b < 0x100; ++b)
        table[b] = true;
    return table;
}();

void AppendEscape(unsigned char b, std::string& strOut) {
    switch (b) {
    case '"':
        strOut += "\\\"";
        return;
    case '\\':
        strOut += "\\\\";
        return;
    case '\b':
        strOut += "\\b";
        return;
    case '\f':
        strOut += "\\f";
        return;
    case '\n':
        strOut += "\\n";
        return;
    case '\r':
        strOut += "\\r";
        return;
    case '\t':
        strOut += "\\t";
        return;
    default:
        break;
    }
    static constexpr char kHex[] = "0123456789abcdef";
    strOut += "\\u00";
    strOut += kHex[b >> 4];
    strOut += kHex[b & 0x0F];
}

// Writes the nDigits lowest decimal digits of n at p, zeros in front.
char* PutDigits(char* p, unsigned n, int nDigits) {
    for (int i = nDigits - 1; i >= 0; --i) {
        p[i] = static_cast<char>('0' + n % 10);
        n /= 10;
    }
    return p + nDigits;
}

// The years that RFC 3339 can write: 0000-01-01T00:00:00Z to 9999-12-31T23:59:59Z.
constexpr std::int64_t kFirstSecond = -62167219200;
constexpr std::int64_t kLastSecond = 253402300799;

// Writes "YYYY-MM-DDTHH:MM:SS" (UTC) at p and returns its end, or returns null when the years
// above cannot hold the time. Into a buffer, as a million entries have three times each.
char* PutUtcDateTime(char* p, std::int64_t nSeconds) {
    if (nSeconds < kFirstSecond || nSeconds > kLastSecond)
        return nullptr;
    using namespace std::chrono;
    const sys_seconds time{seconds{nSeconds}};
    const sys_days day = floor<days>(time);
    const year_month_day date{day};
    const auto nSecondOfDay = static_cast<unsigned>((time - day).count());
    p = PutDigits(p, static_cast<unsigned>(static_cast<int>(date.year())), 4);
    *p++ = '-';
    p = PutDigits(p, static_cast<unsigned>(date.month()), 2);
    *p++ = '-';
    p = PutDigits(p, static_cast<unsigned>(date.day()), 2);
    *p++ = 'T';
    p = PutDigits(p, nSecondOfDay / 3600, 2);
    *p++ = ':';
    p = PutDigits(p, nSecondOfDay / 60 % 60, 2);
    *p++ = ':';
    return PutDigits(p, nSecondOfDay % 60, 2);
}

} // namespace

bool AppendJsonString(std::string_view strText, std::string& strOut) {
    bool bValid = true;
    strOut += '"';
    std::size_t nCopied = 0; // bytes of strText already in strOut
    for (std::size_t i = 0; i < strText.size();) {
        const auto b = static_cast<unsigned char>(strText[i]);
        if (!kNeedsCare[b]) {
            ++i;
            continue;
        }
        if (b >= 0x80) {
            const std::size_t nLength = ValidUtf8Length(strText, i);
            if (nLength != 0) {
                i += nLength;
                continue;
            }
        }
        strOut.append(strText.data() + nCopied, i - nCopied);
        if (b < 0x80) {
            AppendEscape(b, strOut);
        } else {
            strOut += kReplacement;
            bValid = false;
        }
        nCopied = ++i;
    }
    strOut.append(strText.data() + nCopied, strText.size() - nCopied);
    strOut += '"';
    return bValid;
}

void AppendBase64(std::string_view strBytes, std::string& strOut) {
    static constexpr char kAlphabet[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::size_t i = 0;
    const auto byteAt = [&](std::size_t k) { return static_cast<unsigned char>(strBytes[k]); };
    for (; i + 3 <= strBytes.size(); i += 3) {
        const unsigned n = (byteAt(i) << 16) | (byteAt(i + 1) << 8) | byteAt(i + 2);
        strOut += kAlphabet[(n >> 18) & 63];
        strOut += kAlphabet[(n >> 12) & 63];
        strOut += kAlphabet[(n >> 6) & 63];
        strOut += kAlphabet[n & 63];
    }
    const std::size_t nLeft = strBytes.size() - i;
    if (nLeft == 0)
        return;
    const unsigned n = (byteAt(i) << 16) | (nLeft == 2 ? byteAt(i + 1) << 8 : 0);
    strOut += kAlphabet[(n >> 18) & 63];
    strOut += kAlphabet[(n >> 12) & 63];
    strOut += nLeft == 2 ? kAlphabet[(n >> 6) & 63] : '=';
    strOut += '=';
}

void AppendJsonNumber(std::uint64_t n, std::string& strOut) {
    char buf[24];
    const auto res = std::to_chars(buf, buf + sizeof buf, n);
    strOut.append(buf, res.ptr);
}

void AppendJsonTime(std::int64_t nSeconds, std::uint32_t nNanoseconds, std::string& strOut) {
    char buf[40];
    buf[0] = '"';
    char* p = nNanoseconds < 1'000'000'000 ? PutUtcDateTime(buf + 1, nSeconds) : nullptr;
    if (p == nullptr) {
        strOut += "null";
        return;
    }
    *p++ = '.';
    p = PutDigits(p, nNanoseconds, 9);
    *p++ = 'Z';
    *p++ = '"';
    strOut.append(buf, p);
}

void AppendJsonTimeSeconds(std::int64_t nSeconds, std::string& strOut) {
    char buf[32];
    buf[0] = '"';
    char* p = PutUtcDateTime(buf + 1, nSeconds);
    if (p == nullptr) {
        strOut += "null";
        return;
    }
    *p++ = 'Z';
    *p++ = '"';
    strOut.append(buf, p);
}

void AppendJsonExactText(std::string_view strKey, std::string_view strText, std::string& strOut) {
    strOut += '"';
    strOut += strKey;
    strOut += "\":";
    if (AppendJsonString(strText, strOut))
        return;
    strOut += ",\"";
    strOut += strKey;
    strOut += "_base64\":\"";
    AppendBase64(strText, strOut);
    strOut += '"';
}
