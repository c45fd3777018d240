#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "snapshot/Snapshot.h"

enum class EChange : unsigned char { Added, Removed, Changed, Moved };

// What a change found: one bit each.
enum EChangedWhat : unsigned char {
    kChangedType = 1,
    kChangedSize = 2,
    kChangedMtime = 4,
    kChangedContent = 8, // a different hash, or a link's different text
};

// One difference: entries of the old and the new snapshot (kNoEntry for none).
struct SChange {
    EChange eKind = EChange::Added;
    std::uint32_t nOld = kNoEntry;
    std::uint32_t nNew = kNoEntry;
    unsigned char nWhat = 0; // changed: EChangedWhat bits
};

// The files (entries that are not directories) and their bytes added and removed below one
// top-level directory; "." stands for the root's own files. A change of type counts as the old
// entry removed and the new one added.
struct STopLevelDelta {
    std::string strName; // exact
    std::uint64_t nFilesAdded = 0;
    std::uint64_t nBytesAdded = 0;
    std::uint64_t nFilesRemoved = 0;
    std::uint64_t nBytesRemoved = 0;
};

struct SCompareResult {
    std::vector<SChange> changes; // in path order: each directory before what is below it
    std::vector<STopLevelDelta> topLevel; // by name bytes, only those with a change
    std::uint64_t nAdded = 0;
    std::uint64_t nRemoved = 0;
    std::uint64_t nChanged = 0;
    std::uint64_t nMoved = 0;

    bool HasDifferences() const { return !changes.empty(); }
};

// Compares two snapshots by relative path under their roots. Directories are compared by
// presence and type only (their sizes and times follow from what is in them); below a
// directory that either side did not read completely, nothing is compared. Contents are
// compared where both sides hashed with the same algorithm, link texts where both read them.
// A removed and an added regular file are one move when their hashes are equal (both hashed),
// otherwise when size, modification time and name are; empty files only by the latter.
SCompareResult CompareSnapshots(const CSnapshot& oldSide, const CSnapshot& newSide);
