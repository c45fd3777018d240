#include "model/NameOrder.h"

#include <algorithm>

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

SNamePrefix NamePrefixKey(std::string_view strName) {
    SNamePrefix key;
    const std::size_t n = std::min<std::size_t>(strName.size(), 16);
    for (std::size_t i = 0; i < n; ++i) {
        std::uint64_t& nPart = i < 8 ? key.nHigh : key.nLow;
        nPart |= static_cast<std::uint64_t>(Fold(strName[i])) << (56 - 8 * (i % 8));
    }
    return key;
}
