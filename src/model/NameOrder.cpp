#include "model/NameOrder.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "platform/Encoding.h"

namespace {

unsigned char Fold(char c) {
    const auto b = static_cast<unsigned char>(c);
    return (b >= 'A' && b <= 'Z') ? static_cast<unsigned char>(b + ('a' - 'A')) : b;
}

} // namespace

int CompareNames(std::string_view strLeft, std::string_view strRight) {
    const std::size_t n = std::min(strLeft.size(), strRight.size());
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned char a = Fold(strLeft[i]);
        const unsigned char b = Fold(strRight[i]);
        if (a != b)
            return a < b ? -1 : 1;
    }
    if (strLeft.size() == strRight.size())
        return 0;
    return strLeft.size() < strRight.size() ? -1 : 1;
}

int CompareShownNames(std::string_view strLeft, std::string_view strRight) {
    if (IsShownAsStored(strLeft) && IsShownAsStored(strRight))
        return CompareNames(strLeft, strRight);
    return CompareNames(SanitizeName(strLeft), SanitizeName(strRight));
}

std::string NameSortKey(std::string_view strName) {
    std::string strKey(strName);
    for (char& c : strKey)
        c = static_cast<char>(Fold(c));
    return strKey;
}

namespace {

// Eight bytes, big-endian so that integer order is byte order, ASCII letters folded to lower
// case all at once: a byte is 'A'-'Z' when its low seven bits are at least 'A' and at most
// 'Z' and its top bit is clear; those get 0x20 added.
std::uint64_t FoldedWord(const unsigned char* p) {
    std::uint64_t n = 0;
    std::memcpy(&n, p, sizeof n);
    if constexpr (std::endian::native == std::endian::little)
        n = __builtin_bswap64(n);
    constexpr std::uint64_t kOnes = 0x0101010101010101;
    constexpr std::uint64_t kHigh = 0x80 * kOnes;
    const std::uint64_t nLow7 = n & ~kHigh;
    const std::uint64_t nAtLeastA = nLow7 + (0x80 - 'A') * kOnes;
    const std::uint64_t nAboveZ = nLow7 + (0x80 - 'Z' - 1) * kOnes;
    const std::uint64_t nUpper = nAtLeastA & ~nAboveZ & ~n & kHigh;
    return n | (nUpper >> 2);
}

} // namespace

SNamePrefix NamePrefixKey(std::string_view strName) {
    unsigned char bytes[16] = {};
    std::memcpy(bytes, strName.data(), std::min<std::size_t>(strName.size(), sizeof bytes));
    return {FoldedWord(bytes), FoldedWord(bytes + 8)};
}
