#include "platform/ContentHash.h"

// Names and hexadecimal forms of the digests; the same on every system.

namespace {

constexpr std::string_view kHexDigits = "0123456789abcdef";

std::size_t DigestSizeOf(EHashAlgorithm eAlgorithm) {
    switch (eAlgorithm) {
    case EHashAlgorithm::Sha256:
        return 32;
    case EHashAlgorithm::Xxh128:
        return 16;
    case EHashAlgorithm::None:
        break;
    }
    return 0;
}

int HexValue(char c) {
    const std::size_t n = kHexDigits.find(c);
    return n == std::string_view::npos ? -1 : static_cast<int>(n);
}

} // namespace

std::string_view HashAlgorithmName(EHashAlgorithm eAlgorithm) {
    switch (eAlgorithm) {
    case EHashAlgorithm::Sha256:
        return "sha256";
    case EHashAlgorithm::Xxh128:
        return "xxh128";
    case EHashAlgorithm::None:
        break;
    }
    return {};
}

std::optional<EHashAlgorithm> HashAlgorithmByName(std::string_view strName) {
    for (const EHashAlgorithm e : {EHashAlgorithm::Sha256, EHashAlgorithm::Xxh128}) {
        if (strName == HashAlgorithmName(e))
            return e;
    }
    return std::nullopt;
}

std::string DigestHex(const SContentDigest& digest) {
    std::string strHex;
    strHex.reserve(digest.nSize * 2U);
    for (std::size_t i = 0; i < digest.nSize; ++i) {
        strHex += kHexDigits[digest.bytes[i] >> 4];
        strHex += kHexDigits[digest.bytes[i] & 0x0F];
    }
    return strHex;
}

bool DigestFromHex(std::string_view strHex, EHashAlgorithm eAlgorithm, SContentDigest& digest) {
    const std::size_t nSize = DigestSizeOf(eAlgorithm);
    if (nSize == 0 || strHex.size() != nSize * 2)
        return false;
    for (std::size_t i = 0; i < nSize; ++i) {
        const int nHigh = HexValue(strHex[2 * i]);
        const int nLow = HexValue(strHex[2 * i + 1]);
        if (nHigh < 0 || nLow < 0)
            return false;
        digest.bytes[i] = static_cast<unsigned char>(nHigh * 16 + nLow);
    }
    digest.nSize = static_cast<unsigned char>(nSize);
    return true;
}
