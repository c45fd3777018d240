#include "snapshot/SnapshotCompare.h"

#include <algorithm>
#include <map>
#include <string_view>
#include <tuple>
#include <unordered_map>

namespace {

// Walks both trees in path order and collects the added, removed and changed entries.
class CTreeMerge {
public:
    CTreeMerge(const CSnapshot& oldSide, const CSnapshot& newSide)
        : m_old(oldSide), m_new(newSide),
          m_bHashesComparable(oldSide.eHash != EHashAlgorithm::None &&
                              oldSide.eHash == newSide.eHash) {}

    std::vector<SChange> Run();

private:
    // A directory pair being merged, with the next child of each side.
    struct SFrame {
        std::uint32_t nOldDir;
        std::uint32_t nNewDir;
        const std::uint32_t* pOld;
        const std::uint32_t* pNew;
    };

    void PushPair(std::uint32_t nOldDir, std::uint32_t nNewDir);
    void Matched(std::uint32_t nOld, std::uint32_t nNew);
    // An entry on one side only (with bSelf), and everything below it.
    void OneSided(const CSnapshot& side, std::uint32_t n, EChange eKind, bool bSelf = true);
    unsigned char Differences(std::uint32_t nOld, std::uint32_t nNew) const;

    const CSnapshot& m_old;
    const CSnapshot& m_new;
    const bool m_bHashesComparable;
    std::vector<SFrame> m_stack;
    std::vector<SChange> m_changes;
};

bool Comparable(const CSnapshot& side, std::uint32_t nDir) {
    const SSnapEntry& entry = side.Entry(nDir);
    return entry.bChildrenKnown && !entry.bIncomplete;
}

std::vector<SChange> CTreeMerge::Run() {
    PushPair(CSnapshot::Root(), CSnapshot::Root());
    while (!m_stack.empty()) {
        SFrame& frame = m_stack.back();
        const std::uint32_t* pOldEnd = m_old.ChildrenEnd(frame.nOldDir);
        const std::uint32_t* pNewEnd = m_new.ChildrenEnd(frame.nNewDir);
        if (frame.pOld == pOldEnd && frame.pNew == pNewEnd) {
            m_stack.pop_back();
            continue;
        }
        // Byte order of the names; after one side ends, the other's rest.
        int nOrder = 0;
        if (frame.pOld == pOldEnd)
            nOrder = 1;
        else if (frame.pNew == pNewEnd)
            nOrder = -1;
        else
            nOrder = m_old.Name(*frame.pOld).compare(m_new.Name(*frame.pNew));
        if (nOrder < 0) {
            OneSided(m_old, *frame.pOld++, EChange::Removed);
        } else if (nOrder > 0) {
            OneSided(m_new, *frame.pNew++, EChange::Added);
        } else {
            const std::uint32_t nOld = *frame.pOld++;
            const std::uint32_t nNew = *frame.pNew++;
            Matched(nOld, nNew); // may push a frame: frame is not used after this
        }
    }
    return std::move(m_changes);
}

void CTreeMerge::PushPair(std::uint32_t nOldDir, std::uint32_t nNewDir) {
    if (!Comparable(m_old, nOldDir) || !Comparable(m_new, nNewDir))
        return;
    m_stack.push_back({nOldDir, nNewDir, m_old.ChildrenBegin(nOldDir), m_new.ChildrenBegin(nNewDir)});
}

void CTreeMerge::Matched(std::uint32_t nOld, std::uint32_t nNew) {
    const SSnapEntry& oldEntry = m_old.Entry(nOld);
    const SSnapEntry& newEntry = m_new.Entry(nNew);
    const bool bOldDir = oldEntry.eType == ESnapType::Directory;
    const bool bNewDir = newEntry.eType == ESnapType::Directory;
    if (bOldDir && bNewDir) {
        PushPair(nOld, nNew);
        return;
    }
    if (oldEntry.eType != newEntry.eType) {
        // One change for the entry; what a directory held or holds is removed or added.
        m_changes.push_back({EChange::Changed, nOld, nNew, kChangedType});
        if (bOldDir)
            OneSided(m_old, nOld, EChange::Removed, false);
        if (bNewDir)
            OneSided(m_new, nNew, EChange::Added, false);
        return;
    }
    if (const unsigned char nWhat = Differences(nOld, nNew))
        m_changes.push_back({EChange::Changed, nOld, nNew, nWhat});
}

void CTreeMerge::OneSided(const CSnapshot& side, std::uint32_t n, EChange eKind, bool bSelf) {
    const bool bOld = &side == &m_old;
    std::vector<std::pair<const std::uint32_t*, const std::uint32_t*>> pending;
    const auto below = [&](std::uint32_t nEntry) {
        if (side.Entry(nEntry).eType == ESnapType::Directory && side.Entry(nEntry).bChildrenKnown)
            pending.emplace_back(side.ChildrenBegin(nEntry), side.ChildrenEnd(nEntry));
    };
    const auto add = [&](std::uint32_t nEntry) {
        m_changes.push_back({eKind, bOld ? nEntry : kNoEntry, bOld ? kNoEntry : nEntry, 0});
        below(nEntry);
    };
    if (bSelf)
        add(n);
    else
        below(n);
    while (!pending.empty()) {
        auto& [p, pEnd] = pending.back();
        if (p == pEnd) {
            pending.pop_back();
            continue;
        }
        add(*p++); // may grow pending: p is not used after this
    }
}

unsigned char CTreeMerge::Differences(std::uint32_t nOld, std::uint32_t nNew) const {
    const SSnapEntry& a = m_old.Entry(nOld);
    const SSnapEntry& b = m_new.Entry(nNew);
    unsigned char nWhat = 0;
    if (a.nSize != b.nSize)
        nWhat |= kChangedSize;
    if (a.bMtimeKnown != b.bMtimeKnown ||
        (a.bMtimeKnown && (a.nMtime != b.nMtime || a.nMtimeNs != b.nMtimeNs)))
        nWhat |= kChangedMtime;
    const SContentDigest* pOldHash = m_old.Hash(nOld);
    const SContentDigest* pNewHash = m_new.Hash(nNew);
    if (m_bHashesComparable && pOldHash != nullptr && pNewHash != nullptr && !(*pOldHash == *pNewHash))
        nWhat |= kChangedContent;
    const std::string* pOldTarget = m_old.Target(nOld);
    const std::string* pNewTarget = m_new.Target(nNew);
    if (pOldTarget != nullptr && pNewTarget != nullptr && *pOldTarget != *pNewTarget)
        nWhat |= kChangedContent;
    return nWhat;
}

// Without hashes a file is known again by its size, time and name.
using CFileKey = std::tuple<std::uint64_t, bool, std::int64_t, std::uint32_t, std::string_view>;
CFileKey FileKey(const CSnapshot& side, std::uint32_t n) {
    const SSnapEntry& entry = side.Entry(n);
    return {entry.nSize, entry.bMtimeKnown, entry.nMtime, entry.nMtimeNs, side.Name(n)};
}

struct SFileKeyHash {
    std::size_t operator()(const CFileKey& key) const {
        return std::hash<std::string_view>()(std::get<4>(key)) ^
               std::hash<std::uint64_t>()(std::get<0>(key) * 31 + static_cast<std::uint64_t>(std::get<2>(key)));
    }
};

// Pairs removed and added regular files that are the same file moved: the added record
// becomes the move, the removed one goes.
void FindMoves(const CSnapshot& oldSide, const CSnapshot& newSide, bool bHashesComparable,
               std::vector<SChange>& changes) {
    std::unordered_map<std::string_view, std::vector<std::size_t>> byHash;
    std::unordered_map<CFileKey, std::vector<std::size_t>, SFileKeyHash> byKey;
    for (std::size_t i = 0; i < changes.size(); ++i) {
        const SChange& change = changes[i];
        if (change.eKind != EChange::Removed || oldSide.Entry(change.nOld).eType != ESnapType::File)
            continue;
        const SContentDigest* pHash = oldSide.Hash(change.nOld);
        if (bHashesComparable && pHash != nullptr)
            byHash[pHash->View()].push_back(i);
        byKey[FileKey(oldSide, change.nOld)].push_back(i);
    }
    if (byHash.empty() && byKey.empty())
        return;
    std::vector<bool> taken(changes.size(), false);
    // The first removed file of the list not yet taken that also passes bOk.
    const auto takeFirst = [&](std::vector<std::size_t>* pList, auto bOk) -> std::size_t {
        if (pList == nullptr)
            return SIZE_MAX;
        for (const std::size_t i : *pList)
            if (!taken[i] && bOk(i))
                return i;
        return SIZE_MAX;
    };
    for (SChange& change : changes) {
        if (change.eKind != EChange::Added || newSide.Entry(change.nNew).eType != ESnapType::File)
            continue;
        const SSnapEntry& added = newSide.Entry(change.nNew);
        const SContentDigest* pHash = newSide.Hash(change.nNew);
        std::size_t nFound = SIZE_MAX;
        if (bHashesComparable && pHash != nullptr) {
            const auto it = byHash.find(pHash->View());
            nFound = takeFirst(it != byHash.end() ? &it->second : nullptr, [&](std::size_t i) {
                return added.nSize != 0 || oldSide.Name(changes[i].nOld) == newSide.Name(change.nNew);
            });
        }
        if (nFound == SIZE_MAX) {
            // Size, time and name, where the two cannot be told apart by hashes.
            const auto it = byKey.find(FileKey(newSide, change.nNew));
            nFound = takeFirst(it != byKey.end() ? &it->second : nullptr, [&](std::size_t i) {
                return !bHashesComparable || pHash == nullptr ||
                       oldSide.Hash(changes[i].nOld) == nullptr;
            });
        }
        if (nFound == SIZE_MAX)
            continue;
        taken[nFound] = true;
        change.eKind = EChange::Moved;
        change.nOld = changes[nFound].nOld;
    }
    std::size_t nKept = 0;
    for (std::size_t i = 0; i < changes.size(); ++i)
        if (!taken[i])
            changes[nKept++] = changes[i];
    changes.resize(nKept);
}

// The top-level directory that entry n is under; "." for the root's own entries.
std::string_view TopLevelName(const CSnapshot& side, std::uint32_t n) {
    std::uint32_t nTop = n;
    while (side.Entry(nTop).nParent != CSnapshot::Root() && side.Entry(nTop).nParent != kNoEntry)
        nTop = side.Entry(nTop).nParent;
    if (nTop == n || side.Entry(nTop).eType != ESnapType::Directory)
        return ".";
    return side.Name(nTop);
}

std::vector<STopLevelDelta> TopLevelDeltas(const CSnapshot& oldSide, const CSnapshot& newSide,
                                           const std::vector<SChange>& changes) {
    std::map<std::string_view, STopLevelDelta> deltas;
    for (const SChange& change : changes) {
        const bool bAdded = change.eKind == EChange::Added;
        if (!bAdded && change.eKind != EChange::Removed)
            continue;
        const CSnapshot& side = bAdded ? newSide : oldSide;
        const std::uint32_t n = bAdded ? change.nNew : change.nOld;
        if (side.Entry(n).eType == ESnapType::Directory)
            continue;
        STopLevelDelta& delta = deltas[TopLevelName(side, n)];
        (bAdded ? delta.nFilesAdded : delta.nFilesRemoved) += 1;
        std::uint64_t& nBytes = bAdded ? delta.nBytesAdded : delta.nBytesRemoved;
        nBytes = nBytes > UINT64_MAX - side.Entry(n).nSize ? UINT64_MAX : nBytes + side.Entry(n).nSize;
    }
    std::vector<STopLevelDelta> result;
    for (auto& [strName, delta] : deltas) {
        delta.strName = strName;
        result.push_back(std::move(delta));
    }
    return result;
}

} // namespace

SCompareResult CompareSnapshots(const CSnapshot& oldSide, const CSnapshot& newSide) {
    SCompareResult result;
    if (oldSide.Count() == 0 || newSide.Count() == 0)
        return result;
    const bool bHashesComparable =
        oldSide.eHash != EHashAlgorithm::None && oldSide.eHash == newSide.eHash;
    result.changes = CTreeMerge(oldSide, newSide).Run();
    FindMoves(oldSide, newSide, bHashesComparable, result.changes);
    result.topLevel = TopLevelDeltas(oldSide, newSide, result.changes);
    for (const SChange& change : result.changes) {
        switch (change.eKind) {
        case EChange::Added:
            ++result.nAdded;
            break;
        case EChange::Removed:
            ++result.nRemoved;
            break;
        case EChange::Changed:
            ++result.nChanged;
            break;
        case EChange::Moved:
            ++result.nMoved;
            break;
        }
    }
    return result;
}
