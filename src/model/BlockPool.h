#pragma once

#include <cstddef>
#include <mutex>
#include <vector>

#include "platform/LargeBlock.h"

// The memory of one factory's nodes and names: pieces cut from large blocks of the system's,
// each block filled before the next is taken, so a large tree costs few allocations and page
// faults and leaves at most one block partly used. Everything goes when the pool goes.
// Pieces may be taken from several threads at once.
class CBlockPool {
public:
    // Pieces are multiples of this and aligned to it.
    static constexpr std::size_t kPieceAlign = 64 * 1024;

    struct SPiece {
        char* pData = nullptr; // null when the system has no memory to give
        std::size_t nSize = 0;
    };

    CBlockPool() = default;
    CBlockPool(const CBlockPool&) = delete;
    CBlockPool& operator=(const CBlockPool&) = delete;

    // A piece of nMax bytes, or less (but at least kPieceAlign) where the current block ends;
    // nMax is a multiple of kPieceAlign up to CLargeBlock::kSize.
    SPiece Take(std::size_t nMax);

private:
    std::mutex m_mutex;
    std::vector<CLargeBlock> m_blocks;
    std::size_t m_nUsed = CLargeBlock::kSize; // of the last block
};
