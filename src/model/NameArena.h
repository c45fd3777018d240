#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string_view>
#include <vector>

#include "model/BlockPool.h"
#include "model/ItemName.h"

struct SNameBlock;

// Blocks that hold the names of scanned nodes back to back: no allocation and no allocator
// overhead per name. A block counts the names that still use it; once they are all released
// (their nodes recycled) it is reused. The blocks come from pool, which outlives the arena.
class CNameArena {
public:
    static constexpr std::size_t kBlockSize = CBlockPool::kPieceAlign;

    explicit CNameArena(CBlockPool& pool) : m_pool(pool) {}
    CNameArena(const CNameArena&) = delete;
    CNameArena& operator=(const CNameArena&) = delete;
    ~CNameArena();

    // Writes names into one block at a time; one writer per thread.
    class CWriter {
    public:
        explicit CWriter(CNameArena& arena) : m_arena(arena) {}
        CWriter(const CWriter&) = delete;
        CWriter& operator=(const CWriter&) = delete;
        ~CWriter() { Seal(); }

        // A name in the current block (a heap name when it does not fit in any block).
        CItemName Make(std::string_view str);

    private:
        void Seal();

        CNameArena& m_arena;
        SNameBlock* m_pBlock = nullptr;
        std::size_t m_nUsed = 0;
        std::uint32_t m_nNames = 0;
    };

    // Called by CItemName for a name that lives in a block.
    static void ReleaseName(char* pStorage);

private:
    SNameBlock* TakeBlock();
    void Recycle(SNameBlock* pBlock);

    CBlockPool& m_pool;
    std::mutex m_mutex;
    std::vector<SNameBlock*> m_blocks; // every block, to end them all at the end
    std::vector<SNameBlock*> m_free;
};
