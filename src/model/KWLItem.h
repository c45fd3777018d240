#pragma once

#include <cstdint>
#include <string_view>

#include "model/ItemName.h"
#include "platform/Time.h"

// What an entry that is not a directory is; links are listed, never followed.
enum class EFileKind : unsigned char { File, Symlink, Other };

// Common base of the tree nodes; the dynamic type tells a file from a directory.
class CKWLItem {
public:
    virtual ~CKWLItem() = default;
};

class CFileInformation;
class CKWLItemFactory;
class CNodeSource;

// Chooses the constructor of a node whose every field the scan sets right away: it reads no
// clock for times that are about to be replaced, once per entry of a million.
struct SFilledByScan {
    explicit SFilledByScan() = default;
};

// Adds to a byte total; a total that would pass 2^64 - 1 stays there instead of wrapping.
inline std::uint64_t AddSaturated(std::uint64_t nTotal, std::uint64_t nAdd) {
    std::uint64_t nSum = 0;
    return __builtin_add_overflow(nTotal, nAdd, &nSum) ? UINT64_MAX : nSum;
}

// A directory: its files and its subdirectories in two lists, each sorted by name.
class CDirInformation : public CKWLItem {
public:
    CDirInformation();

    void Set(std::string_view strName, CTime timeCreation, std::uint64_t nTotalSize,
             int nFileCount);
    void Reset();
    // A file goes into this directory's file list (result null); a directory goes into the
    // sibling chain that starts here, and the result is the node that now holds its data.
    CDirInformation* Insert(CKWLItem* pItem);
    void SwapContents(CDirInformation* pOther);
    // Adds every subdirectory's total into this one; run once per scan, on the root.
    std::uint64_t ComputeTotals();

    CFileInformation* m_pFirstFile = nullptr;
    CDirInformation* m_pFirstSubDir = nullptr;
    CDirInformation* m_pNextDir = nullptr;
    CItemName m_strName; // the bytes the file system holds; shown with SanitizeName
    CTime m_timeCreation;
    CTime m_timeLastAccess;
    CTime m_timeLastWrite;
    std::uint64_t m_nTotalSize = 0; // 64-bit and saturating: today's files outgrow 32-bit sums
    // The sub-second part of the times, for the exports that carry nanoseconds.
    std::uint32_t m_nCreationNs = 0;
    std::uint32_t m_nLastAccessNs = 0;
    std::uint32_t m_nLastWriteNs = 0;
    int m_nFileCount = 0;
    // Its entries were left out below a depth limit; its total and file count still hold them.
    bool m_bEntriesLeftOut = false;

private:
    friend class CKWLItemFactory;
    friend class CNodeSource;

    explicit CDirInformation(SFilledByScan) {}

    void InsertFile(CFileInformation* pFile);
    CDirInformation* InsertDirectory(CDirInformation* pDir);

    bool m_bInArena = false; // built in the factory's node memory rather than by new
};

// A file (or anything else that is not a directory, links included).
class CFileInformation : public CKWLItem {
public:
    CFileInformation();

    void Set(std::uint64_t nSize, std::string_view strName, bool bReadOnly, bool bCompressed,
             bool bSystem, bool bHidden, bool bArchive, CTime timeCreation, CTime timeLastAccess,
             CTime timeLastWrite);
    void Reset();
    // Inserts a file into the sorted chain that starts at this file.
    void InsertSorted(CKWLItem* pItem);
    void SwapContents(CFileInformation* pOther);

    CFileInformation* m_pNextFile = nullptr;
    std::uint64_t m_nSize = 0;
    CItemName m_strName; // the bytes the file system holds; shown with SanitizeName
    CTime m_timeCreation;
    CTime m_timeLastAccess;
    CTime m_timeLastWrite;
    // The sub-second part of the times, for the exports that carry nanoseconds.
    std::uint32_t m_nCreationNs = 0;
    std::uint32_t m_nLastAccessNs = 0;
    std::uint32_t m_nLastWriteNs = 0;
    EFileKind m_eKind = EFileKind::File;
    // One bit each: a tree of a million files pays for every byte of its nodes.
    bool m_bReadOnly : 1 = false;
    bool m_bCompressed : 1 = false;
    bool m_bSystem : 1 = false;
    bool m_bHidden : 1 = false;
    bool m_bArchive : 1 = false;

private:
    friend class CKWLItemFactory;
    friend class CNodeSource;

    explicit CFileInformation(SFilledByScan) {}

    bool m_bInArena : 1 = false; // built in the factory's node memory rather than by new
};
