#include "model/ItemName.h"

#include <cstdint>
#include <cstring>
#include <ostream>

#include "model/NameArena.h"

CItemName::CItemName(std::string_view str) {
    if (str.empty())
        return;
    const std::size_t nHeader = HeaderSize(str.size());
    m_pStorage = new char[nHeader + str.size()];
    WriteHeader(m_pStorage, str.size(), false);
    std::memcpy(m_pStorage + nHeader, str.data(), str.size());
}

CItemName& CItemName::operator=(const CItemName& other) {
    if (this != &other)
        *this = CItemName(other.View());
    return *this;
}

CItemName& CItemName::operator=(CItemName&& other) noexcept {
    if (this != &other) {
        Release();
        m_pStorage = std::exchange(other.m_pStorage, nullptr);
    }
    return *this;
}

void CItemName::WriteHeader(char* pStorage, std::size_t nLength, bool bInArena) {
    const unsigned nArenaBit = bInArena ? 1 : 0;
    if (nLength < kLongLength) {
        pStorage[0] = static_cast<char>((nLength << 1) | nArenaBit);
        return;
    }
    pStorage[0] = static_cast<char>((kLongLength << 1) | nArenaBit);
    const auto nLong = static_cast<std::uint32_t>(nLength);
    std::memcpy(pStorage + 1, &nLong, sizeof nLong);
}

std::string_view CItemName::View() const {
    if (m_pStorage == nullptr)
        return {};
    const unsigned nShort = static_cast<unsigned char>(m_pStorage[0]) >> 1;
    if (nShort < kLongLength)
        return {m_pStorage + 1, nShort};
    std::uint32_t nLong = 0;
    std::memcpy(&nLong, m_pStorage + 1, sizeof nLong);
    return {m_pStorage + 5, nLong};
}

void CItemName::Release() {
    if (m_pStorage == nullptr)
        return;
    if ((static_cast<unsigned char>(m_pStorage[0]) & 1) != 0)
        CNameArena::ReleaseName(m_pStorage);
    else
        delete[] m_pStorage;
    m_pStorage = nullptr;
}

std::ostream& operator<<(std::ostream& out, const CItemName& name) {
    return out << name.View();
}
