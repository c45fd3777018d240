#pragma once

#include <cstddef>
#include <utility>

// A block of memory straight from the system, for the tree's nodes and names: a tree of a
// million entries takes its 100 MB in a few dozen pieces, where the system offers them as
// huge pages (one page fault instead of 512). The block is aligned to at least 64 KiB and
// not zeroed by us (the system hands out zeroed pages anyway). Empty when the system has no
// memory to give.
class CLargeBlock {
public:
    static constexpr std::size_t kSize = 2 * 1024 * 1024;

    CLargeBlock() = default;
    CLargeBlock(CLargeBlock&& other) noexcept : m_pData(std::exchange(other.m_pData, nullptr)) {}
    CLargeBlock& operator=(CLargeBlock&& other) noexcept {
        std::swap(m_pData, other.m_pData);
        return *this;
    }
    CLargeBlock(const CLargeBlock&) = delete;
    CLargeBlock& operator=(const CLargeBlock&) = delete;
    ~CLargeBlock() { Release(); }

    // bHugePages: as huge pages where the system offers them, which it then backs whole at
    // the first touch; otherwise page by page, as touched.
    static CLargeBlock Allocate(bool bHugePages);

    char* Data() const { return m_pData; }
    explicit operator bool() const { return m_pData != nullptr; }

private:
    void Release() noexcept;

    char* m_pData = nullptr;
};
