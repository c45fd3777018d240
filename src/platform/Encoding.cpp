#include "platform/Encoding.h"

#include <array>
#include <cstdint>
#include <optional>

namespace {

// Code points of the bytes 0x80-0x9F in Windows-1252; the rest of the page equals Latin-1.
constexpr std::array<char32_t, 32> kCp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void AppendUtf8(char32_t cp, std::string& strOut) {
    if (cp < 0x80) {
        strOut += static_cast<char>(cp);
    } else if (cp < 0x800) {
        strOut += static_cast<char>(0xC0 | (cp >> 6));
        strOut += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        strOut += static_cast<char>(0xE0 | (cp >> 12));
        strOut += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        strOut += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// Decodes one well-formed sequence at nPos; returns its length, or 0 when it is invalid.
std::size_t DecodeUtf8(std::string_view s, std::size_t nPos, char32_t& cp) {
    const auto b0 = static_cast<unsigned char>(s[nPos]);
    if (b0 < 0x80) {
        cp = b0;
        return 1;
    }
    std::size_t nLen = 0;
    char32_t nMin = 0;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        nLen = 2;
        cp = b0 & 0x1F;
        nMin = 0x80;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        nLen = 3;
        cp = b0 & 0x0F;
        nMin = 0x800;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        nLen = 4;
        cp = b0 & 0x07;
        nMin = 0x10000;
    } else {
        return 0;
    }
    if (nPos + nLen > s.size())
        return 0;
    for (std::size_t i = 1; i < nLen; ++i) {
        const auto b = static_cast<unsigned char>(s[nPos + i]);
        if ((b & 0xC0) != 0x80)
            return 0;
        cp = (cp << 6) | (b & 0x3F);
    }
    if (cp < nMin || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return 0;
    return nLen;
}

// Bytes that can start a control character: C0, DEL, and the lead bytes of C1 (C2 80-C2 9F)
// and of U+2028/U+2029 (E2 80 A8/A9). One table look-up per byte keeps names without any of
// them (nearly all) on the fast path.
constexpr std::array<bool, 256> kMayStartControl = [] {
    std::array<bool, 256> table{};
    for (int b = 0x01; b <= 0x1F; ++b)
        table[static_cast<std::size_t>(b)] = true;
    table[0x7F] = true;
    table[0xC2] = true;
    table[0xE2] = true;
    return table;
}();

// Length of the control character that starts at strText[nPos], 0 when none does. C2 and E2
// are never continuation bytes, so a match is always a whole, valid character; invalid bytes
// never match and stay as they are.
std::size_t ControlLength(std::string_view strText, std::size_t nPos) {
    const auto at = [&](std::size_t k) {
        return nPos + k < strText.size() ? static_cast<unsigned char>(strText[nPos + k]) : 0u;
    };
    const unsigned b0 = at(0);
    if (b0 == 0xC2)
        return at(1) >= 0x80 && at(1) <= 0x9F ? 2 : 0;
    if (b0 == 0xE2)
        return at(1) == 0x80 && (at(2) == 0xA8 || at(2) == 0xA9) ? 3 : 0;
    return (b0 >= 0x01 && b0 <= 0x1F) || b0 == 0x7F ? 1 : 0;
}

} // namespace

void AppendShownName(std::string_view strRaw, std::string& strOut) {
    std::size_t nCopied = 0; // bytes of strRaw already in strOut
    for (std::size_t i = 0; i < strRaw.size(); ++i) {
        if (!kMayStartControl[static_cast<unsigned char>(strRaw[i])])
            continue;
        const std::size_t nLen = ControlLength(strRaw, i);
        if (nLen == 0)
            continue;
        strOut.append(strRaw.data() + nCopied, i - nCopied);
        strOut += '?';
        nCopied = i + nLen;
        i = nCopied - 1;
    }
    strOut.append(strRaw.data() + nCopied, strRaw.size() - nCopied);
}

void AppendScreenName(std::string_view strRaw, std::string& strOut) {
    std::size_t nRun = 0; // start of the valid run not yet appended
    for (std::size_t i = 0; i < strRaw.size();) {
        const std::size_t nLen = ValidUtf8Length(strRaw, i);
        if (nLen != 0) {
            i += nLen;
            continue;
        }
        AppendShownName(strRaw.substr(nRun, i - nRun), strOut);
        strOut += "\xEF\xBF\xBD"; // U+FFFD
        nRun = ++i;
    }
    AppendShownName(strRaw.substr(nRun), strOut);
}

bool IsShownAsStored(std::string_view strRaw) {
    for (std::size_t i = 0; i < strRaw.size(); ++i)
        if (kMayStartControl[static_cast<unsigned char>(strRaw[i])] && ControlLength(strRaw, i) != 0)
            return false;
    return true;
}

std::string SanitizeName(std::string_view strRaw) {
    std::string strOut;
    strOut.reserve(strRaw.size());
    AppendShownName(strRaw, strOut);
    return strOut;
}

std::size_t ValidUtf8Length(std::string_view strText, std::size_t nPos) {
    char32_t cp = 0;
    return DecodeUtf8(strText, nPos, cp);
}

std::size_t Utf8CharLength(std::string_view strText, std::size_t nPos) {
    char32_t cp = 0;
    const std::size_t n = DecodeUtf8(strText, nPos, cp);
    return n == 0 ? 1 : n;
}

std::size_t Utf8Length(std::string_view strText) {
    std::size_t nCount = 0;
    for (std::size_t i = 0; i < strText.size(); i += Utf8CharLength(strText, i))
        ++nCount;
    return nCount;
}

std::string Utf8Left(std::string_view strText, std::size_t nCount) {
    std::size_t i = 0;
    for (std::size_t n = 0; n < nCount && i < strText.size(); ++n)
        i += Utf8CharLength(strText, i);
    return std::string(strText.substr(0, i));
}

std::string Utf8Right(std::string_view strText, std::size_t nCount) {
    const std::size_t nTotal = Utf8Length(strText);
    if (nCount >= nTotal)
        return std::string(strText);
    std::size_t i = 0;
    for (std::size_t n = 0; n < nTotal - nCount; ++n)
        i += Utf8CharLength(strText, i);
    return std::string(strText.substr(i));
}

bool IsValidUtf8(std::string_view strText) {
    char32_t cp = 0;
    for (std::size_t i = 0; i < strText.size();) {
        const std::size_t n = DecodeUtf8(strText, i, cp);
        if (n == 0)
            return false;
        i += n;
    }
    return true;
}

std::string Cp1252ToUtf8(std::string_view strText) {
    std::string strOut;
    strOut.reserve(strText.size());
    for (char c : strText) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x80)
            strOut += c;
        else if (b < 0xA0)
            AppendUtf8(kCp1252High[b - 0x80], strOut);
        else
            AppendUtf8(b, strOut);
    }
    return strOut;
}

namespace {

// The Windows-1252 byte of cp, none when the code page has no place for it.
std::optional<char> Cp1252Byte(char32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF))
        return static_cast<char>(cp);
    for (std::size_t k = 0; k < kCp1252High.size(); ++k)
        if (kCp1252High[k] == cp)
            return static_cast<char>(0x80 + k);
    return std::nullopt;
}

} // namespace

bool Utf8ToCp1252(std::string_view strText, std::string& strOut) {
    strOut.clear();
    for (std::size_t i = 0; i < strText.size();) {
        char32_t cp = 0;
        const std::size_t n = DecodeUtf8(strText, i, cp);
        if (n == 0)
            return false;
        i += n;
        const std::optional<char> cByte = Cp1252Byte(cp);
        if (!cByte)
            return false;
        strOut += *cByte;
    }
    return true;
}

std::string Utf8ToCp1252Lossy(std::string_view strText) {
    std::string strOut;
    strOut.reserve(strText.size());
    for (std::size_t i = 0; i < strText.size();) {
        char32_t cp = 0;
        const std::size_t n = DecodeUtf8(strText, i, cp);
        i += n == 0 ? 1 : n;
        const std::optional<char> cByte = n == 0 ? std::nullopt : Cp1252Byte(cp);
        strOut += cByte.value_or('?');
    }
    return strOut;
}

std::string FormatLineToUtf8(std::string_view strText) {
    if (IsValidUtf8(strText))
        return std::string(strText);
    return Cp1252ToUtf8(strText);
}
