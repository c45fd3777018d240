#pragma once

#include <cstddef>
#include <system_error>
#include <vector>

#include "model/KWLItemFactory.h"
#include "model/NameOrder.h"
#include "platform/DirReader.h"

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
    std::error_code error; // why the first entry that could not be examined or made was not
};

// Takes as many recycled nodes as the entries [nBegin, nEnd) will need, as far as the
// directory tells their kinds.
void ReserveNodes(CNodeSource& source, const CDirNames& names, std::size_t nBegin,
                  std::size_t nEnd);

// Reads the status of entry i and makes its node, named as the tree shows it. Returns false
// when the entry was gone by then (left out) or no node could be made. An entry that cannot
// be examined is still made, with unknown size and times, and noted in made.error.
bool MakeEntry(CNodeSource& source, const CDirReader& reader, const CDirNames& names, std::size_t i,
               SMadeEntries& made);

// Sorts both lists into name order (equal names keep their enumeration order) and links
// them below pNode, counting the files and their bytes: the lists that inserting one by one
// would make, without the quadratic walk.
void SortAndLink(SMadeEntries& made, CDirInformation* pNode);
