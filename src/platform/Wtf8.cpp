#include "platform/Wtf8.h"

#include <cstddef>
#include <cstdint>

namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsHighSurrogate(char32_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}
bool IsLowSurrogate(char32_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

void AppendUtf8(char32_t c, std::string& strOut) {
    if (c < 0x80) {
        strOut += static_cast<char>(c);
    } else if (c < 0x800) {
        strOut += static_cast<char>(0xC0 | (c >> 6));
        strOut += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        strOut += static_cast<char>(0xE0 | (c >> 12));
        strOut += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        strOut += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        strOut += static_cast<char>(0xF0 | (c >> 18));
        strOut += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        strOut += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        strOut += static_cast<char>(0x80 | (c & 0x3F));
    }
}

void AppendUtf16(char32_t c, std::u16string& strOut) {
    if (c < 0x10000) {
        strOut += static_cast<char16_t>(c);
        return;
    }
    c -= 0x10000;
    strOut += static_cast<char16_t>(0xD800 + (c >> 10));
    strOut += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
}

// The code point of the sequence at strText[nPos] and its length, surrogates allowed (that is
// what WTF-8 adds to UTF-8); length 0 when no well-formed sequence starts there.
std::size_t DecodeWtf8(std::string_view strText, std::size_t nPos, char32_t& c) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(strText[nPos + i]); };
    const unsigned char b0 = byte(0);
    std::size_t nLen = 0;
    char32_t nMin = 0;
    if (b0 < 0x80) {
        c = b0;
        return 1;
    }
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        nLen = 2;
        c = b0 & 0x1F;
        nMin = 0x80;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        nLen = 3;
        c = b0 & 0x0F;
        nMin = 0x800;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        nLen = 4;
        c = b0 & 0x07;
        nMin = 0x10000;
    } else {
        return 0;
    }
    if (strText.size() - nPos < nLen)
        return 0;
    for (std::size_t i = 1; i < nLen; ++i) {
        if ((byte(i) & 0xC0) != 0x80)
            return 0;
        c = (c << 6) | (byte(i) & 0x3F);
    }
    return c >= nMin && c <= 0x10FFFF ? nLen : 0;
}

} // namespace

std::string Wtf8FromUtf16(std::u16string_view strWide) {
    std::string strOut;
    strOut.reserve(strWide.size());
    for (std::size_t i = 0; i < strWide.size(); ++i) {
        char32_t c = strWide[i];
        if (IsHighSurrogate(c) && i + 1 < strWide.size() && IsLowSurrogate(strWide[i + 1])) {
            c = 0x10000 + ((c - 0xD800) << 10) + (strWide[i + 1] - 0xDC00);
            ++i;
        }
        AppendUtf8(c, strOut);
    }
    return strOut;
}

std::u16string Utf16FromWtf8(std::string_view strText) {
    std::u16string strOut;
    strOut.reserve(strText.size());
    for (std::size_t nPos = 0; nPos < strText.size();) {
        char32_t c = 0;
        std::size_t nLen = DecodeWtf8(strText, nPos, c);
        if (nLen == 0) {
            c = kReplacement;
            nLen = 1;
        }
        // A high and a low surrogate written apart in WTF-8 are still one pair in UTF-16.
        AppendUtf16(c, strOut);
        nPos += nLen;
    }
    return strOut;
}
