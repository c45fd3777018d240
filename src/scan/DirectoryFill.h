#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "model/KWLItemFactory.h"
#include "model/NameOrder.h"
#include "platform/ContentHash.h"
#include "platform/DirReader.h"
#include "scan/EntryFilter.h"

// Nodes made for a run of one directory's entries, in enumeration order, each with the
// number that sorts it (NamePrefixKey of its name).
struct SMadeEntries {
    struct SFile {
        SNamePrefix key;
        CFileInformation* pNode;
    };
    struct SDir {
        SNamePrefix key;
        CDirInformation* pNode;
        std::size_t nIndex; // in the directory's names: the raw name to open it by
        SFileIdentity identity;
    };

    void Clear();
    // Appends a later run of the same directory.
    void Append(const SMadeEntries& later);

    std::vector<SFile> files;
    std::vector<SDir> dirs;
    std::vector<std::pair<const CFileInformation*, std::string>> linkTargets; // when asked for
    std::vector<std::pair<const CFileInformation*, SContentDigest>> hashes;    // when asked for
    std::vector<std::pair<const CFileInformation*, int>> unhashed; // errno: content not read
    std::error_code error; // why the first entry that could not be examined or made was not
};

// Gives node (a file or a directory) the times of status, to the nanosecond.
template <class TNode> void SetTimes(TNode& node, const SEntryStatus& status) {
    node.m_timeCreation = CTime(status.nCreation);
    node.m_timeLastAccess = CTime(status.nLastAccess);
    node.m_timeLastWrite = CTime(status.nLastWrite);
    node.m_nCreationNs = status.nCreationNs;
    node.m_nLastAccessNs = status.nLastAccessNs;
    node.m_nLastWriteNs = status.nLastWriteNs;
}

// Takes as many recycled nodes as the entries [nBegin, nEnd) will need, as far as the
// directory tells their kinds.
void ReserveNodes(CNodeSource& source, const CDirNames& names, std::size_t nBegin,
                  std::size_t nEnd);

// What is read of an entry beyond its status.
struct SEntryReading {
    bool bReadLinkTargets = false;
    CContentHasher* pHasher = nullptr; // hashes regular files when set
    std::atomic<std::uint64_t>* pBytesHashed = nullptr; // grows with the bytes hashed
    const CEntryFilter* pFilter = nullptr; // entries left out by name; null: none
    bool bStatFiles = true; // false: a file whose kind the directory tells gets no status read
};

// Reads the status of entry i and makes its node, with the exact name. Returns false when the
// entry was gone by then, is left out by the filter (in state pState; never examined when its
// name tells) or no node could be made. An entry that cannot be
// examined is still made, with unknown size and times, and noted in made.error. A symbolic
// link's text goes into made.linkTargets, a regular file's content hash into made.hashes (or
// why it could not be read into made.unhashed), as reading asks; the file's size and times are
// those of the version hashed.
bool MakeEntry(CNodeSource& source, const CDirReader& reader, const CDirNames& names, std::size_t i,
               const SEntryReading& reading, const CEntryFilter::CDirState* pState,
               SMadeEntries& made);

// Sorts both lists into the order of the names as shown (equal names keep their enumeration order) and links
// them below pNode, counting the files and their bytes: the lists that inserting one by one
// would make, without the quadratic walk.
void SortAndLink(SMadeEntries& made, CDirInformation* pNode);
