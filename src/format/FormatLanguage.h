#pragma once

#include <array>
#include <cstddef>
#include <string_view>

// The vocabulary of the format language, kept once for everyone who needs it: the engine's
// validation and rendering, the definition dialog's rows and kwl-list's usage text.

// What one piece of a compiled format renders as.
enum class EToken {
    Text,
    ColumnBreak,
    Name,
    Size,
    Creation,
    LastAccess,
    LastWrite,
    Archive,
    Hidden,
    System,
    Compressed,
    ReadOnly,
    Files,
    Undefined // a keyword that the item's kind does not define: renders as nothing
};

struct SFieldKeyword {
    std::string_view strKeyword;
    EToken eToken;
    bool bForDirs;  // rendering defines it for directories
    bool bForFiles; // rendering defines it for files
};

// Validation accepts every keyword for both kinds; rendering skips one that the item's kind
// does not define.
inline constexpr auto kFieldKeywords = std::to_array<SFieldKeyword>({
    {"name", EToken::Name, true, true},
    {"size", EToken::Size, true, true},
    {"crTime", EToken::Creation, true, true},
    {"accTime", EToken::LastAccess, false, true},
    {"modTime", EToken::LastWrite, false, true},
    {"arch", EToken::Archive, false, true},
    {"hid", EToken::Hidden, false, true},
    {"sys", EToken::System, false, true},
    {"compr", EToken::Compressed, false, true},
    {"ro", EToken::ReadOnly, false, true},
    {"files", EToken::Files, true, false},
});

// Compiled formats hold their elements without separators, which only works while no keyword
// begins another.
consteval bool NoKeywordBeginsAnother() {
    for (const SFieldKeyword& a : kFieldKeywords)
        for (const SFieldKeyword& b : kFieldKeywords)
            if (a.eToken != b.eToken && b.strKeyword.starts_with(a.strKeyword))
                return false;
    return true;
}
static_assert(NoKeywordBeginsAnother());

// The keyword's entry, or null when strKeyword is none.
constexpr const SFieldKeyword* FindFieldKeyword(std::string_view strKeyword) {
    for (const SFieldKeyword& keyword : kFieldKeywords)
        if (keyword.strKeyword == strKeyword)
            return &keyword;
    return nullptr;
}

// Bytes of the text-element character that strText begins with: 1 for "a"-"z", "A"-"Z",
// "0"-"9", "(", ")", ":" and blank, 2 for the umlauts ä ö ü Ä Ö Ü (UTF-8); 0 when strText
// begins with anything else. The brackets are not among them: in a format line they stand
// only escaped.
constexpr std::size_t TextCharLength(std::string_view strText) {
    if (strText.empty())
        return 0;
    const auto b = static_cast<unsigned char>(strText[0]);
    if ((b >= 'a' && b <= 'z') || (b >= 'A' && b <= 'Z') || (b >= '0' && b <= '9') || b == '(' ||
        b == ')' || b == ' ' || b == ':')
        return 1;
    if (b == 0xC3 && strText.size() >= 2) {
        switch (static_cast<unsigned char>(strText[1])) {
        case 0xA4: // ä
        case 0xB6: // ö
        case 0xBC: // ü
        case 0x84: // Ä
        case 0x96: // Ö
        case 0x9C: // Ü
            return 2;
        default:
            break;
        }
    }
    return 0;
}
