#include "model/BlockPool.h"

#include <algorithm>
#include <new>

static_assert(CLargeBlock::kSize % CBlockPool::kPieceAlign == 0);

CBlockPool::SPiece CBlockPool::Take(std::size_t nMax) {
    std::lock_guard lock(m_mutex);
    if (m_nUsed == CLargeBlock::kSize) {
        try {
            m_blocks.reserve(m_blocks.size() + 1);
        } catch (const std::bad_alloc&) {
            return {};
        }
        // The first block in small pages: a tree that stays small (a window before its
        // first scan) holds only the pages it touched.
        CLargeBlock block = CLargeBlock::Allocate(!m_blocks.empty());
        if (!block)
            return {};
        m_blocks.push_back(std::move(block));
        m_nUsed = 0;
    }
    // The end of a block goes to whoever asks next: a region of nodes works with less.
    const std::size_t nSize = std::min(nMax, CLargeBlock::kSize - m_nUsed);
    const SPiece piece{m_blocks.back().Data() + m_nUsed, nSize};
    m_nUsed += nSize;
    return piece;
}
