#include "model/NameArena.h"

#include <cstdlib>
#include <cstring>
#include <new>

// Sits at the start of each block; blocks are aligned to their size (pieces of the pool), so a
// name finds its block from its own address.
struct SNameBlock {
    // Names still using the block, plus kOpen while a writer fills it: releases that come
    // before the writer is done can never bring the count to zero.
    std::atomic<std::uint32_t> nLive{0};
    CNameArena* pArena = nullptr;
};

namespace {

constexpr std::uint32_t kOpen = 1u << 31;
constexpr std::size_t kFirstName = (sizeof(SNameBlock) + 15) & ~std::size_t{15};

SNameBlock* BlockOf(char* pStorage) {
    const auto nAddress = reinterpret_cast<std::uintptr_t>(pStorage);
    return reinterpret_cast<SNameBlock*>(nAddress & ~(std::uintptr_t{CNameArena::kBlockSize} - 1));
}

} // namespace

CNameArena::~CNameArena() {
    for (SNameBlock* pBlock : m_blocks)
        pBlock->~SNameBlock();
}

SNameBlock* CNameArena::TakeBlock() {
    std::lock_guard lock(m_mutex);
    SNameBlock* pBlock = nullptr;
    if (!m_free.empty()) {
        pBlock = m_free.back();
        m_free.pop_back();
    } else {
        try {
            // Room for the block on both lists first: Recycle, called from destructors,
            // must not allocate.
            m_blocks.reserve(m_blocks.size() + 1);
            m_free.reserve(m_blocks.size() + 1);
        } catch (const std::bad_alloc&) {
            return nullptr;
        }
        const CBlockPool::SPiece piece = m_pool.Take(kBlockSize);
        if (piece.pData == nullptr)
            return nullptr;
        pBlock = new (piece.pData) SNameBlock;
        m_blocks.push_back(pBlock);
        pBlock->pArena = this;
    }
    pBlock->nLive.store(kOpen, std::memory_order_relaxed);
    return pBlock;
}

void CNameArena::Recycle(SNameBlock* pBlock) {
    std::lock_guard lock(m_mutex);
    m_free.push_back(pBlock); // never allocates: TakeBlock reserved the room
}

void CNameArena::ReleaseName(char* pStorage) {
    SNameBlock* pBlock = BlockOf(pStorage);
    if (pBlock->nLive.fetch_sub(1, std::memory_order_acq_rel) == 1)
        pBlock->pArena->Recycle(pBlock);
}

CItemName CNameArena::CWriter::Make(std::string_view str) {
    if (str.empty())
        return {};
    const std::size_t nNeeded = CItemName::HeaderSize(str.size()) + str.size();
    if (nNeeded > kBlockSize - kFirstName)
        return CItemName(str);
    if (m_pBlock == nullptr || m_nUsed + nNeeded > kBlockSize) {
        Seal();
        m_pBlock = m_arena.TakeBlock();
        if (m_pBlock == nullptr)
            return CItemName(str);
        m_nUsed = kFirstName;
    }
    char* pStorage = reinterpret_cast<char*>(m_pBlock) + m_nUsed;
    CItemName::WriteHeader(pStorage, str.size(), true);
    std::memcpy(pStorage + CItemName::HeaderSize(str.size()), str.data(), str.size());
    m_nUsed += nNeeded;
    ++m_nNames;
    CItemName name;
    name.m_pStorage = pStorage;
    return name;
}

void CNameArena::CWriter::Seal() {
    if (m_pBlock == nullptr)
        return;
    const std::uint32_t nDrop = kOpen - m_nNames;
    if (m_pBlock->nLive.fetch_sub(nDrop, std::memory_order_acq_rel) == nDrop)
        m_arena.Recycle(m_pBlock);
    m_pBlock = nullptr;
    m_nNames = 0;
}
