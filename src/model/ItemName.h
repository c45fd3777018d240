#pragma once

#include <cstddef>
#include <iosfwd>
#include <string>
#include <string_view>
#include <utility>

// A node's name in one pointer: a length-prefixed copy of the bytes, kept either in the
// factory's name blocks (the names a scan makes, see CNameArena) or on the heap (names set
// by anyone else). It reads like a string; an empty name holds no memory.
class CItemName {
public:
    CItemName() = default;
    // Implicit, so that names are assigned and compared as plain strings.
    CItemName(std::string_view str);
    CItemName(const char* psz) : CItemName(std::string_view(psz)) {}
    CItemName(const std::string& str) : CItemName(std::string_view(str)) {}
    CItemName(const CItemName& other) : CItemName(other.View()) {}
    CItemName(CItemName&& other) noexcept : m_pStorage(std::exchange(other.m_pStorage, nullptr)) {}
    CItemName& operator=(const CItemName& other);
    CItemName& operator=(CItemName&& other) noexcept;
    ~CItemName() { Release(); }

    std::string_view View() const;
    operator std::string_view() const { return View(); }
    operator std::string() const { return std::string(View()); }
    const char* data() const { return View().data(); }
    std::size_t size() const { return View().size(); }
    bool empty() const { return m_pStorage == nullptr; }
    void clear() { Release(); }

    friend void swap(CItemName& a, CItemName& b) noexcept { std::swap(a.m_pStorage, b.m_pStorage); }
    friend bool operator==(const CItemName& a, std::string_view b) { return a.View() == b; }

private:
    friend class CNameArena;

    // First byte: bit 0 set for a name in an arena block; bits 1-7 the length, or
    // kLongLength when a 4-byte length follows.
    static constexpr unsigned kLongLength = 127;
    static std::size_t HeaderSize(std::size_t nLength) { return nLength < kLongLength ? 1 : 5; }
    static void WriteHeader(char* pStorage, std::size_t nLength, bool bInArena);

    void Release();

    char* m_pStorage = nullptr;
};

std::ostream& operator<<(std::ostream& out, const CItemName& name);
