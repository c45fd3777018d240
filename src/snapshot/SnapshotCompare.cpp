#include "snapshot/SnapshotCompare.h"

#include <algorithm>
#include <map>
#include <string_view>
#include <tuple>
#include <utility>

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

// Removed files sorted by one key, searched for each added file. Each is taken at most once;
// taken ones are skipped in amortised constant time (a path-compressed "next free" chain), so
// thousands of files with one key (empty files, copies) stay linear.
class CCandidates {
public:
    template <class TLess> void Sort(TLess less) {
        std::sort(m_indices.begin(), m_indices.end(), less);
        m_next.resize(m_indices.size() + 1);
        for (std::size_t i = 0; i < m_next.size(); ++i)
            m_next[i] = i;
    }
    void Add(std::size_t nChange) { m_indices.push_back(nChange); }
    bool Empty() const { return m_indices.empty(); }

    // The first free one from the lower bound of key on whose key equals and that passes bOk;
    // taken. SIZE_MAX for none.
    template <class TBelow, class TEqual, class TOk>
    std::size_t Take(TBelow below, TEqual equal, TOk bOk) {
        auto it = std::partition_point(m_indices.begin(), m_indices.end(), below);
        for (std::size_t nPos = Free(static_cast<std::size_t>(it - m_indices.begin()));
             nPos < m_indices.size() && equal(m_indices[nPos]); nPos = Free(nPos + 1)) {
            if (bOk(m_indices[nPos])) {
                m_next[nPos] = nPos + 1;
                return m_indices[nPos];
            }
        }
        return SIZE_MAX;
    }

private:
    std::size_t Free(std::size_t nPos) {
        std::size_t nRoot = nPos;
        while (m_next[nRoot] != nRoot)
            nRoot = m_next[nRoot];
        while (m_next[nPos] != nRoot)
            nPos = std::exchange(m_next[nPos], nRoot);
        return nRoot;
    }

    std::vector<std::size_t> m_indices; // into the changes
    std::vector<std::size_t> m_next;    // position i, or a later one when i is taken
};

// Without hashes a file is known again by its size, time and name.
using CFileKey = std::tuple<std::uint64_t, bool, std::int64_t, std::uint32_t, std::string_view>;
CFileKey FileKey(const CSnapshot& side, std::uint32_t n) {
    const SSnapEntry& entry = side.Entry(n);
    return {entry.nSize, entry.bMtimeKnown, entry.nMtime, entry.nMtimeNs, side.Name(n)};
}

bool IsFile(const CSnapshot& side, const SChange& change, EChange eKind) {
    if (change.eKind != eKind)
        return false;
    return side.Entry(eKind == EChange::Added ? change.nNew : change.nOld).eType == ESnapType::File;
}

// Pairs removed and added regular files that are the same file moved: the added record
// becomes the move, the removed one goes. Empty files have no content to tell them by: they
// pair up by time and name only.
void FindMoves(const CSnapshot& oldSide, const CSnapshot& newSide, bool bHashesComparable,
               std::vector<SChange>& changes) {
    const auto added = [&](const SChange& c) { return IsFile(newSide, c, EChange::Added); };
    if (std::none_of(changes.begin(), changes.end(), added))
        return;
    const auto oldHash = [&](std::size_t i) { return oldSide.Hash(changes[i].nOld); };
    const auto hashed = [&](std::size_t i) {
        return bHashesComparable && oldHash(i) != nullptr && oldSide.Entry(changes[i].nOld).nSize != 0;
    };
    CCandidates byHash, byKey;
    for (std::size_t i = 0; i < changes.size(); ++i) {
        if (!IsFile(oldSide, changes[i], EChange::Removed))
            continue;
        if (hashed(i))
            byHash.Add(i);
        byKey.Add(i);
    }
    if (byKey.Empty())
        return;
    byHash.Sort([&](std::size_t a, std::size_t b) { return oldHash(a)->View() < oldHash(b)->View(); });
    byKey.Sort([&](std::size_t a, std::size_t b) {
        return FileKey(oldSide, changes[a].nOld) < FileKey(oldSide, changes[b].nOld);
    });
    std::vector<bool> taken(changes.size(), false);
    for (SChange& change : changes) {
        if (!added(change))
            continue;
        const SContentDigest* pHash = newSide.Hash(change.nNew);
        const bool bHashed = bHashesComparable && pHash != nullptr && newSide.Entry(change.nNew).nSize != 0;
        std::size_t nFound = SIZE_MAX;
        if (bHashed) {
            nFound = byHash.Take([&](std::size_t i) { return oldHash(i)->View() < pHash->View(); },
                                 [&](std::size_t i) { return oldHash(i)->View() == pHash->View(); },
                                 [&](std::size_t i) { return !taken[i]; });
        }
        if (nFound == SIZE_MAX) {
            // Size, time and name, where the two cannot be told apart by hashes.
            const CFileKey key = FileKey(newSide, change.nNew);
            nFound = byKey.Take(
                [&](std::size_t i) { return FileKey(oldSide, changes[i].nOld) < key; },
                [&](std::size_t i) { return FileKey(oldSide, changes[i].nOld) == key; },
                [&](std::size_t i) { return !taken[i] && (!bHashed || !hashed(i)); });
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
    // Entry n of side counts as a file added (or removed) below its top-level directory.
    const auto count = [&](const CSnapshot& side, std::uint32_t n, bool bAdded) {
        if (side.Entry(n).eType == ESnapType::Directory)
            return;
        STopLevelDelta& delta = deltas[TopLevelName(side, n)];
        (bAdded ? delta.nFilesAdded : delta.nFilesRemoved) += 1;
        std::uint64_t& nBytes = bAdded ? delta.nBytesAdded : delta.nBytesRemoved;
        nBytes = nBytes > UINT64_MAX - side.Entry(n).nSize ? UINT64_MAX : nBytes + side.Entry(n).nSize;
    };
    for (const SChange& change : changes) {
        if (change.eKind == EChange::Added) {
            count(newSide, change.nNew, true);
        } else if (change.eKind == EChange::Removed) {
            count(oldSide, change.nOld, false);
        } else if (change.eKind == EChange::Changed && (change.nWhat & kChangedType) != 0) {
            // A file replaced by a directory (or a link, or back) is one file gone and another
            // come; a directory's own contents are added or removed changes of their own.
            count(oldSide, change.nOld, false);
            count(newSide, change.nNew, true);
        }
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
