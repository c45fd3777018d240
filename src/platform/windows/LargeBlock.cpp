#include "platform/LargeBlock.h"

#include <windows.h>

// VirtualAlloc hands out memory aligned to 64 KiB, zeroed; large pages would need a privilege
// that users do not hold.
CLargeBlock CLargeBlock::Allocate(bool) {
    CLargeBlock block;
    block.m_pData =
        static_cast<char*>(VirtualAlloc(nullptr, kSize, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
    return block;
}

void CLargeBlock::Release() noexcept {
    if (m_pData != nullptr)
        VirtualFree(m_pData, 0, MEM_RELEASE);
    m_pData = nullptr;
}
