#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/FilterSettings.h"
#include "model/ItemTree.h"
#include "model/ScanError.h"
#include "platform/ContentHash.h"

// What an entry of a snapshot is.
enum class ESnapType : unsigned char { Directory, File, Symlink, Other };

inline constexpr std::uint32_t kNoEntry = UINT32_MAX;

// One entry: what a comparison looks at, and where it sits. 48 bytes: a comparison holds two
// snapshots of millions of entries.
struct SSnapEntry {
    std::uint64_t nSize = 0;
    std::int64_t nMtime = 0; // seconds since 1970 (UTC); see bMtimeKnown
    std::uint32_t nMtimeNs = 0;
    std::uint32_t nParent = kNoEntry; // the root has none
    std::uint32_t nFirstChild = 0;    // directories: their children in the snapshot's child list
    std::uint32_t nChildCount = 0;
    // Regular files: their hash, when hashed; symbolic links: their text, when read.
    std::uint32_t nDetail = kNoEntry;
    std::uint32_t nNamePos = 0; // see CSnapshot::Name
    std::uint16_t nNameLength = 0;
    ESnapType eType = ESnapType::File;
    bool bMtimeKnown : 1 = false;
    bool bChildrenKnown : 1 = false; // directories whose entries were read (a recursive scan)
    bool bIncomplete : 1 = false;    // recorded as not read completely (directory or content)
};

// Items in blocks of a fixed power of two: nothing is copied when it grows (a vector of a
// million entries would hold twice that for a moment), and an index is a shift and a mask.
template <class T> class CBlockArray {
public:
    std::size_t size() const { return m_nSize; }
    bool empty() const { return m_nSize == 0; }
    T& operator[](std::size_t n) { return m_blocks[n >> kBits][n & kMask]; }
    const T& operator[](std::size_t n) const { return m_blocks[n >> kBits][n & kMask]; }
    T& emplace_back() {
        if (m_nSize == m_blocks.size() << kBits)
            m_blocks.push_back(std::make_unique<T[]>(kMask + 1));
        return (*this)[m_nSize++];
    }
    void push_back(const T& item) { emplace_back() = item; }

private:
    static constexpr unsigned kBits = 12;
    static constexpr std::size_t kMask = (std::size_t{1} << kBits) - 1;
    std::vector<std::unique_ptr<T[]>> m_blocks;
    std::size_t m_nSize = 0;
};

// An error the snapshot records: a directory not read completely, a file not hashed.
struct SSnapError {
    std::string strPath; // exact, as recorded: the root joined with the names below it
    std::string strReason;
    std::uint64_t nErrno = 0;
};

// A tree as a comparison needs it: flat, compact (tens of bytes per entry beside the names),
// each directory's children sorted by their exact bytes, so that two snapshots are compared
// by merging. Made from a document that kwl-list -e json wrote, or from a scanned tree.
class CSnapshot {
public:
    CSnapshot();
    CSnapshot(CSnapshot&&) noexcept;
    CSnapshot& operator=(CSnapshot&&) noexcept;
    ~CSnapshot();

    // From a scanned tree: root as given to the scan, its errors, and when it began. Nothing
    // when the tree has more entries or name bytes than a snapshot holds (2^32 - 1, 4 GiB).
    static std::optional<CSnapshot> FromTree(const CItemTree& tree, const std::string& strRoot,
                                             bool bRecursive,
                              const std::vector<SScanError>& errors, std::int64_t nScannedAt);

    // Document fields.
    std::string strRoot;       // exact
    std::int64_t nScannedAt = 0; // seconds since 1970 (UTC), when bHasScannedAt
    bool bHasScannedAt = false;
    bool bRecursive = false;
    EHashAlgorithm eHash = EHashAlgorithm::None;
    SFilterSettings filters; // what the scan left out
    std::vector<SSnapError> errors;

    std::size_t Count() const { return m_entries.size(); }
    const SSnapEntry& Entry(std::uint32_t n) const { return m_entries[n]; }
    // The exact bytes of entry n's name.
    std::string_view Name(std::uint32_t n) const;
    static constexpr std::uint32_t Root() { return 0; }
    // The children of directory n, in the order of their exact name bytes.
    const std::uint32_t* ChildrenBegin(std::uint32_t n) const;
    const std::uint32_t* ChildrenEnd(std::uint32_t n) const;
    const SContentDigest* Hash(std::uint32_t n) const;
    const std::string* Target(std::uint32_t n) const;
    // The path of entry n below the root, names joined by "/"; empty for the root.
    std::string RelativePath(std::uint32_t n) const;
    // The entry that a path recorded in an error names: the root as given, or the root joined
    // with names below it.
    std::optional<std::uint32_t> FindRecordedPath(std::string_view strPath) const;
    // The child of directory n called strName.
    std::optional<std::uint32_t> FindChild(std::uint32_t n, std::string_view strName) const;

    // Building, for the readers: entries are added parent first; a directory's children are
    // sealed once all of them are there.
    std::uint32_t AddEntry(std::uint32_t nParent); // kNoEntry when no more fit
    SSnapEntry& EditEntry(std::uint32_t n) { return m_entries[n]; }
    // False when the name does not fit: too long, or no room left for names.
    bool SetName(std::uint32_t n, std::string_view strName);
    void SetHash(std::uint32_t n, const SContentDigest& digest);
    void SetTarget(std::uint32_t n, std::string strTarget);
    // Sorts the children of n by name and records them. False (nDuplicate the second) when two
    // have the same name.
    bool SealChildren(std::uint32_t n, std::vector<std::uint32_t>& children,
                      std::uint32_t& nDuplicate);
    // Marks the entries the errors name. False (nBad the error) when one names no entry.
    bool MarkErrors(std::size_t& nBad);

private:

    CBlockArray<SSnapEntry> m_entries;
    std::vector<std::uint32_t> m_children; // each directory's children one after another
    CBlockArray<SContentDigest> m_hashes;
    std::vector<std::string> m_targets;
    // Names back to back in blocks, the last one filling; a name never crosses into the next.
    std::vector<std::unique_ptr<char[]>> m_nameBlocks;
    std::size_t m_nBlockUsed = 0;
};
