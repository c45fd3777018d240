// The pool that holds a factory's nodes and names: pieces that never overlap, aligned as the
// name blocks need (a name finds its block from its own address), written and read back whole.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "model/BlockPool.h"

namespace {

// Pieces of different sizes over several blocks, with a block's end shorter than asked for.
TEST(BlockPool, PiecesAreAlignedApartAndKeepWhatIsWritten) {
    CBlockPool pool;
    const std::size_t kAlign = CBlockPool::kPieceAlign;
    std::vector<CBlockPool::SPiece> pieces;
    std::size_t nTotal = 0;
    for (int i = 0; nTotal < 3 * CLargeBlock::kSize; ++i) {
        const std::size_t nAsked = (i % 3 == 0 ? 3 : 1) * kAlign;
        const CBlockPool::SPiece piece = pool.Take(nAsked);
        ASSERT_NE(piece.pData, nullptr);
        ASSERT_GE(piece.nSize, kAlign);
        ASSERT_LE(piece.nSize, nAsked);
        ASSERT_EQ(piece.nSize % kAlign, 0u);
        ASSERT_EQ(reinterpret_cast<std::uintptr_t>(piece.pData) % kAlign, 0u);
        std::memset(piece.pData, i & 0xFF, piece.nSize);
        pieces.push_back(piece);
        nTotal += piece.nSize;
    }
    // Some block's end was shorter than 3 pieces: 2 MiB is not a multiple of 3 x 64 KiB.
    EXPECT_TRUE(std::any_of(pieces.begin(), pieces.end(),
                            [&](const CBlockPool::SPiece& p) { return p.nSize == 2 * kAlign; }));
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        const auto* pData = reinterpret_cast<const unsigned char*>(pieces[i].pData);
        EXPECT_TRUE(std::all_of(pData, pData + pieces[i].nSize,
                                [&](unsigned char c) { return c == (i & 0xFF); }))
            << "piece " << i;
    }
}

} // namespace
