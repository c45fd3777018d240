#include "model/KWLItem.h"

#include <array>
#include <utility>
#include <vector>

#include "model/NameOrder.h"

// ---- CDirInformation ----

CDirInformation::CDirInformation()
    : m_timeCreation(CTime::GetCurrentTime()), m_timeLastAccess(m_timeCreation),
      m_timeLastWrite(m_timeCreation) {}

void CDirInformation::Set(std::string_view strName, CTime timeCreation, std::uint64_t nTotalSize,
                          int nFileCount) {
    m_strName = strName;
    m_timeCreation = timeCreation;
    m_nTotalSize = nTotalSize;
    m_nFileCount = nFileCount;
}

void CDirInformation::Reset() {
    m_strName.clear();
    m_timeCreation = m_timeLastAccess = m_timeLastWrite = CTime::GetCurrentTime();
    m_nCreationNs = m_nLastAccessNs = m_nLastWriteNs = 0;
    m_nTotalSize = 0;
    m_nFileCount = 0;
    m_bEntriesLeftOut = false;
}

CDirInformation* CDirInformation::Insert(CKWLItem* pItem) {
    if (auto* pFile = dynamic_cast<CFileInformation*>(pItem)) {
        InsertFile(pFile);
        return nullptr;
    }
    if (auto* pDir = dynamic_cast<CDirInformation*>(pItem))
        return InsertDirectory(pDir);
    return nullptr;
}

void CDirInformation::InsertFile(CFileInformation* pFile) {
    ++m_nFileCount;
    m_nTotalSize = AddSaturated(m_nTotalSize, pFile->m_nSize);
    if (m_pFirstFile == nullptr)
        m_pFirstFile = pFile;
    else
        m_pFirstFile->InsertSorted(pFile);
}

// The head node never changes: a directory that sorts first swaps its data into the head.
// A loop instead of the natural recursion, so a chain of a million siblings needs no stack.
CDirInformation* CDirInformation::InsertDirectory(CDirInformation* pDir) {
    CDirInformation* pCur = this;
    for (;;) {
        if (CompareShownNames(pDir->m_strName, pCur->m_strName) < 0) {
            pCur->SwapContents(pDir);
            pCur->m_pNextDir = pDir;
            return pCur;
        }
        if (pCur->m_pNextDir == nullptr) {
            pCur->m_pNextDir = pDir;
            return pDir;
        }
        pCur = pCur->m_pNextDir;
    }
}

void CDirInformation::SwapContents(CDirInformation* pOther) {
    if (pOther == nullptr)
        return;
    swap(m_strName, pOther->m_strName);
    std::swap(m_timeCreation, pOther->m_timeCreation);
    std::swap(m_timeLastAccess, pOther->m_timeLastAccess);
    std::swap(m_timeLastWrite, pOther->m_timeLastWrite);
    std::swap(m_nCreationNs, pOther->m_nCreationNs);
    std::swap(m_nLastAccessNs, pOther->m_nLastAccessNs);
    std::swap(m_nLastWriteNs, pOther->m_nLastWriteNs);
    std::swap(m_nTotalSize, pOther->m_nTotalSize);
    std::swap(m_nFileCount, pOther->m_nFileCount);
    std::swap(m_pFirstFile, pOther->m_pFirstFile);
    std::swap(m_pFirstSubDir, pOther->m_pFirstSubDir);
    std::swap(m_pNextDir, pOther->m_pNextDir);
}

// Post-order over the subtree without recursion: each directory is completed before its
// total is added to its parent, however deep or wide the tree is.
std::uint64_t CDirInformation::ComputeTotals() {
    struct SFrame {
        CDirInformation* pDir;
        CDirInformation* pNextChild;
    };
    std::vector<SFrame> stack;
    stack.push_back({this, m_pFirstSubDir});
    while (!stack.empty()) {
        SFrame& top = stack.back();
        if (top.pNextChild != nullptr) {
            CDirInformation* pChild = top.pNextChild;
            top.pNextChild = pChild->m_pNextDir;
            stack.push_back({pChild, pChild->m_pFirstSubDir});
            continue;
        }
        CDirInformation* pDone = top.pDir;
        stack.pop_back();
        if (!stack.empty()) {
            CDirInformation* pParent = stack.back().pDir;
            pParent->m_nTotalSize = AddSaturated(pParent->m_nTotalSize, pDone->m_nTotalSize);
        }
    }
    return m_nTotalSize;
}

// ---- CFileInformation ----

namespace {

std::array<bool, 5> FlagsOf(const CFileInformation& file) {
    return {file.m_bReadOnly, file.m_bCompressed, file.m_bSystem, file.m_bHidden,
            file.m_bArchive};
}

void SetFlags(CFileInformation& file, const std::array<bool, 5>& flags) {
    file.m_bReadOnly = flags[0];
    file.m_bCompressed = flags[1];
    file.m_bSystem = flags[2];
    file.m_bHidden = flags[3];
    file.m_bArchive = flags[4];
}

} // namespace

CFileInformation::CFileInformation()
    : m_timeCreation(CTime::GetCurrentTime()), m_timeLastAccess(m_timeCreation),
      m_timeLastWrite(m_timeCreation) {}

void CFileInformation::Set(std::uint64_t nSize, std::string_view strName, bool bReadOnly,
                           bool bCompressed, bool bSystem, bool bHidden, bool bArchive,
                           CTime timeCreation, CTime timeLastAccess, CTime timeLastWrite) {
    m_nSize = nSize;
    m_strName = strName;
    m_bReadOnly = bReadOnly;
    m_bCompressed = bCompressed;
    m_bSystem = bSystem;
    m_bHidden = bHidden;
    m_bArchive = bArchive;
    m_timeCreation = timeCreation;
    m_timeLastAccess = timeLastAccess;
    m_timeLastWrite = timeLastWrite;
    m_nCreationNs = m_nLastAccessNs = m_nLastWriteNs = 0;
}

void CFileInformation::Reset() {
    m_nSize = 0;
    m_strName.clear();
    m_timeCreation = m_timeLastAccess = m_timeLastWrite = CTime::GetCurrentTime();
    m_nCreationNs = m_nLastAccessNs = m_nLastWriteNs = 0;
    m_eKind = EFileKind::File;
    m_bReadOnly = m_bCompressed = m_bSystem = m_bHidden = m_bArchive = false;
}

// The node this is called on keeps its place at the head: a file that sorts before a node
// swaps data with it, and the node that was passed in is linked in right behind.
void CFileInformation::InsertSorted(CKWLItem* pItem) {
    auto* pFile = dynamic_cast<CFileInformation*>(pItem);
    if (pFile == nullptr)
        return;
    CFileInformation* pCur = this;
    for (;;) {
        if (CompareShownNames(pFile->m_strName, pCur->m_strName) < 0) {
            pCur->SwapContents(pFile);
            pFile->m_pNextFile = pCur->m_pNextFile;
            pCur->m_pNextFile = pFile;
            return;
        }
        if (pCur->m_pNextFile == nullptr) {
            pCur->m_pNextFile = pFile;
            return;
        }
        pCur = pCur->m_pNextFile;
    }
}

void CFileInformation::SwapContents(CFileInformation* pOther) {
    if (pOther == nullptr)
        return;
    std::swap(m_nSize, pOther->m_nSize);
    swap(m_strName, pOther->m_strName);
    std::swap(m_timeCreation, pOther->m_timeCreation);
    std::swap(m_timeLastAccess, pOther->m_timeLastAccess);
    std::swap(m_timeLastWrite, pOther->m_timeLastWrite);
    std::swap(m_nCreationNs, pOther->m_nCreationNs);
    std::swap(m_nLastAccessNs, pOther->m_nLastAccessNs);
    std::swap(m_nLastWriteNs, pOther->m_nLastWriteNs);
    std::swap(m_eKind, pOther->m_eKind);
    // The flags are bit-fields, which std::swap cannot take.
    const std::array<bool, 5> mine = FlagsOf(*this);
    SetFlags(*this, FlagsOf(*pOther));
    SetFlags(*pOther, mine);
}
