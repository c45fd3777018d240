#pragma once

#include <compare>
#include <cstdint>
#include <string>
#include <string_view>

// Name order of the tree: byte by byte, ASCII letters folded to lower case, other bytes
// unsigned; a prefix sorts first; names that differ only in ASCII case compare equal.
int CompareNames(std::string_view strLeft, std::string_view strRight);

// The same order on names as they are shown (control characters as "?", see SanitizeName):
// the tree keeps names exact, but lists them in the order of what the reader sees.
int CompareShownNames(std::string_view strLeft, std::string_view strRight);

// A key whose plain byte order is the name order above (ASCII letters folded).
std::string NameSortKey(std::string_view strName);

// The first sixteen bytes of the key above as two numbers: a smaller pair means an earlier
// name; equal pairs leave the order to CompareNames. Sorting numbers is far cheaper than
// sorting strings, which lie elsewhere in memory; sixteen bytes tell most names apart.
struct SNamePrefix {
    std::uint64_t nHigh = 0; // bytes 0-7
    std::uint64_t nLow = 0;  // bytes 8-15
    auto operator<=>(const SNamePrefix&) const = default;
};
SNamePrefix NamePrefixKey(std::string_view strName);
