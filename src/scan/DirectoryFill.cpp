#include "scan/DirectoryFill.h"

#include <algorithm>
#include <string>
#include <string_view>

#include "model/NameOrder.h"
#include "platform/Encoding.h"

namespace {

// Printable ASCII is shown as stored whatever else the tree maps, so most names need no
// mapped copy.
bool IsPrintableAscii(std::string_view str) {
    return std::all_of(str.begin(), str.end(), [](char c) {
        const auto b = static_cast<unsigned char>(c);
        return b >= 0x20 && b < 0x7F;
    });
}

template <class T> bool ByName(const T& a, const T& b) {
    if (a.key != b.key)
        return a.key < b.key;
    return CompareShownNames(a.pNode->m_strName, b.pNode->m_strName) < 0;
}

// The kind of an entry whose status could not be read, as far as the directory tells it.
EFileType TypeFromDirectory(EEntryKind eKind) {
    switch (eKind) {
    case EEntryKind::Directory:
        return EFileType::Directory;
    case EEntryKind::Regular:
        return EFileType::Regular;
    case EEntryKind::Symlink:
        return EFileType::Symlink;
    case EEntryKind::Unknown:
    case EEntryKind::Other:
        break;
    }
    return EFileType::Other;
}

EFileKind KindOf(EFileType eType) {
    switch (eType) {
    case EFileType::Regular:
        return EFileKind::File;
    case EFileType::Symlink:
        return EFileKind::Symlink;
    case EFileType::Directory:
    case EFileType::Other:
        break;
    }
    return EFileKind::Other;
}

// A link whose text cannot be read is still listed; the reason is noted like an entry that
// could not be examined.
void ReadLinkTarget(const CDirReader& reader, const char* pszRaw, const CFileInformation* pFile,
                    SMadeEntries& made) {
    std::string strTarget;
    if (const std::error_code ec = reader.ReadLinkTarget(pszRaw, strTarget)) {
        if (ec != std::errc::no_such_file_or_directory && !made.error)
            made.error = ec;
        return;
    }
    made.linkTargets.emplace_back(pFile, std::move(strTarget));
}

// A file that cannot be read keeps its place in the tree, without a hash.
void HashFile(const CDirReader& reader, const char* pszRaw, const CFileInformation* pFile,
              const SEntryReading& reading, SMadeEntries& made) {
    SContentDigest digest;
    std::uint64_t nBytes = 0;
    const std::error_code ec = reader.HashFile(*reading.pHasher, pszRaw, digest, nBytes);
    if (reading.pBytesHashed != nullptr)
        reading.pBytesHashed->fetch_add(nBytes, std::memory_order_relaxed);
    if (!ec)
        made.hashes.emplace_back(pFile, digest);
    else if (ec != std::errc::no_such_file_or_directory)
        made.unhashed.emplace_back(pFile, ec.value());
}

// No node could be made: noted like an entry that could not be examined.
bool NoMemory(SMadeEntries& made) {
    if (!made.error)
        made.error = std::make_error_code(std::errc::not_enough_memory);
    return false;
}

} // namespace

void SMadeEntries::Clear() {
    files.clear();
    dirs.clear();
    linkTargets.clear();
    hashes.clear();
    unhashed.clear();
    error.clear();
}

void SMadeEntries::Append(const SMadeEntries& later) {
    files.insert(files.end(), later.files.begin(), later.files.end());
    dirs.insert(dirs.end(), later.dirs.begin(), later.dirs.end());
    linkTargets.insert(linkTargets.end(), later.linkTargets.begin(), later.linkTargets.end());
    hashes.insert(hashes.end(), later.hashes.begin(), later.hashes.end());
    unhashed.insert(unhashed.end(), later.unhashed.begin(), later.unhashed.end());
    if (!error)
        error = later.error;
}

void ReserveNodes(CNodeSource& source, const CDirNames& names, std::size_t nBegin,
                  std::size_t nEnd) {
    std::size_t nDirs = 0;
    for (std::size_t i = nBegin; i < nEnd; ++i)
        nDirs += names.Kind(i) == EEntryKind::Directory ? 1 : 0;
    source.Reserve(nEnd - nBegin - nDirs, nDirs);
}

bool MakeEntry(CNodeSource& source, const CDirReader& reader, const CDirNames& names, std::size_t i,
               const SEntryReading& reading, const CEntryFilter::CDirState* pState,
               SMadeEntries& made) {
    const char* pszRaw = names.Name(i);
    const EEntryKind eKind = names.Kind(i);
    const bool bKindKnown = eKind != EEntryKind::Unknown;
    const CEntryFilter* pFilter = reading.pFilter;
    // Left out before anything is read of it where the directory tells enough.
    if (pFilter != nullptr && (bKindKnown || !pFilter->NeedsKind()) &&
        pFilter->Excludes(pszRaw, eKind == EEntryKind::Directory, *pState))
        return false;
    SEntryStatus status;
    if (!reading.bStatFiles && bKindKnown && eKind != EEntryKind::Directory) {
        // The output shows nothing of a file's status: the directory's word for its kind does.
        status.eType = TypeFromDirectory(eKind);
        status.nCreation = status.nLastAccess = status.nLastWrite = kUnknownTime;
    } else if (const std::error_code ec = reader.StatEntry(names, i, status)) {
        if (ec == std::errc::no_such_file_or_directory)
            return false; // gone since it was enumerated
        if (!made.error)
            made.error = ec;
        // Listed with what the directory itself tells: a name that can be read is not
        // dropped. An entry of unknown kind is listed as a file of size 0.
        status = SEntryStatus{};
        status.eType = TypeFromDirectory(eKind);
        status.nCreation = status.nLastAccess = status.nLastWrite = kUnknownTime;
    }
    if (pFilter != nullptr && !bKindKnown && pFilter->NeedsKind() &&
        pFilter->Excludes(pszRaw, status.IsDirectory(), *pState))
        return false;
    const std::string_view strRaw(pszRaw);
    // Sorted by the name as shown; the node keeps the exact bytes.
    const SNamePrefix key =
        IsPrintableAscii(strRaw) ? NamePrefixKey(strRaw) : NamePrefixKey(SanitizeName(strRaw));
    if (status.IsDirectory()) {
        CDirInformation* pDir = source.NewDirectory();
        if (pDir == nullptr)
            return NoMemory(made);
        pDir->m_strName = source.MakeName(strRaw);
        SetTimes(*pDir, status);
        made.dirs.push_back({key, pDir, i, status.identity});
        return true;
    }
    CFileInformation* pFile = source.NewFile();
    if (pFile == nullptr)
        return NoMemory(made);
    pFile->m_nSize = status.nSize;
    pFile->m_strName = source.MakeName(strRaw);
    SetTimes(*pFile, status);
    pFile->m_eKind = KindOf(status.eType);
    if (reading.bReadLinkTargets && pFile->m_eKind == EFileKind::Symlink)
        ReadLinkTarget(reader, pszRaw, pFile, made);
    if (reading.pHasher != nullptr && pFile->m_eKind == EFileKind::File)
        HashFile(reader, pszRaw, pFile, reading, made);
    names.AddNameAttributes(i, status);
    pFile->m_bReadOnly = status.bReadOnly;
    pFile->m_bCompressed = status.bCompressed;
    pFile->m_bSystem = status.bSystem;
    pFile->m_bHidden = status.bHidden;
    pFile->m_bArchive = status.bArchive;
    made.files.push_back({key, pFile});
    return true;
}

void SortAndLink(SMadeEntries& made, CDirInformation* pNode) {
    std::stable_sort(made.files.begin(), made.files.end(), ByName<SMadeEntries::SFile>);
    std::stable_sort(made.dirs.begin(), made.dirs.end(), ByName<SMadeEntries::SDir>);

    CFileInformation* pLastFile = nullptr;
    for (const SMadeEntries::SFile& file : made.files) {
        (pLastFile != nullptr ? pLastFile->m_pNextFile : pNode->m_pFirstFile) = file.pNode;
        pLastFile = file.pNode;
        pNode->m_nTotalSize = AddSaturated(pNode->m_nTotalSize, file.pNode->m_nSize);
    }
    pNode->m_nFileCount += static_cast<int>(made.files.size());

    CDirInformation* pLastDir = nullptr;
    for (const SMadeEntries::SDir& dir : made.dirs) {
        (pLastDir != nullptr ? pLastDir->m_pNextDir : pNode->m_pFirstSubDir) = dir.pNode;
        pLastDir = dir.pNode;
    }
}
