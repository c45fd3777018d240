#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Name order of the tree: byte by byte, ASCII letters folded to lower case, other bytes
// unsigned; a prefix sorts first; names that differ only in ASCII case compare equal.
int CompareNames(std::string_view strLeft, std::string_view strRight);

// A key whose plain byte order is the name order above (ASCII letters folded).
std::string NameSortKey(std::string_view strName);

// The first eight bytes of the key above as a number: a smaller number means an earlier
// name; equal numbers leave the order to CompareNames. Sorting numbers is far cheaper
// than sorting strings.
std::uint64_t NamePrefixKey(std::string_view strName);
