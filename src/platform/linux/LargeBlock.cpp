#include "platform/LargeBlock.h"

#include <sys/mman.h>

#include <cstdint>

// Twice the size is mapped and trimmed to a block aligned to its size: only such a block can
// be one huge page.
CLargeBlock CLargeBlock::Allocate(bool bHugePages) {
    void* pMapped =
        mmap(nullptr, 2 * kSize, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    CLargeBlock block;
    if (pMapped == MAP_FAILED)
        return block;
    const auto nMapped = reinterpret_cast<std::uintptr_t>(pMapped);
    const std::uintptr_t nAligned = (nMapped + kSize - 1) & ~(std::uintptr_t{kSize} - 1);
    if (nAligned > nMapped)
        munmap(pMapped, nAligned - nMapped);
    if (const std::uintptr_t nEnd = nMapped + 2 * kSize; nEnd > nAligned + kSize)
        munmap(reinterpret_cast<void*>(nAligned + kSize), nEnd - nAligned - kSize);
    block.m_pData = reinterpret_cast<char*>(nAligned);
    // Only advice: where huge pages are off or used up, the block works with small ones.
    if (bHugePages)
        madvise(block.m_pData, kSize, MADV_HUGEPAGE);
    return block;
}

void CLargeBlock::Release() noexcept {
    if (m_pData != nullptr)
        munmap(m_pData, kSize);
    m_pData = nullptr;
}
