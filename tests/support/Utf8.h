#pragma once

#include <string>

// One code point (below U+10000) as UTF-8, written here independently of the code under test.
inline std::string Utf8Of(char32_t cp) {
    std::string str;
    if (cp < 0x80) {
        str += static_cast<char>(cp);
    } else if (cp < 0x800) {
        str += static_cast<char>(0xC0 | (cp >> 6));
        str += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        str += static_cast<char>(0xE0 | (cp >> 12));
        str += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        str += static_cast<char>(0x80 | (cp & 0x3F));
    }
    return str;
}
