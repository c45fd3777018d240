#include "platform/DirReader.h"

#include <windows.h>
#include <winioctl.h>
#include <winternl.h>

#include <fcntl.h>

#include <cstddef>
#include <cstring>
#include <new>
#include <utility>

#include "platform/windows/WinFile.h"

namespace {

// One enumeration call fills this much; a directory of a few hundred names comes at once.
constexpr std::size_t kQuerySize = 64 * 1024;
// FILETIME counts 100 ns steps since 1601-01-01.
constexpr std::int64_t kTicksPerSecond = 10'000'000;
constexpr std::int64_t kTicksFrom1601To1970 = 116'444'736'000'000'000;
// The C runtime's table of descriptors holds 2048; the scan keeps this many for others.
constexpr std::size_t kRuntimeDescriptors = 2048;
constexpr std::size_t kDescriptorsKept = 64;
constexpr ACCESS_MASK kDirectoryAccess = FILE_LIST_DIRECTORY | FILE_TRAVERSE | FILE_READ_ATTRIBUTES;

// What a record of CDirNames holds before its name; the whole status comes with the name.
struct SRecord {
    SEntryStatus status;
    EEntryKind eKind;
};
constexpr std::size_t kRecordAlign = alignof(SRecord);

std::int64_t FloorDiv(std::int64_t n, std::int64_t d) {
    const std::int64_t q = n / d;
    return (n % d != 0 && n < 0) ? q - 1 : q;
}

void SetTime(std::int64_t nTicks, std::int64_t& nSeconds, std::uint32_t& nNs) {
    const std::int64_t nSince1970 = nTicks - kTicksFrom1601To1970;
    nSeconds = FloorDiv(nSince1970, kTicksPerSecond);
    nNs = static_cast<std::uint32_t>((nSince1970 - nSeconds * kTicksPerSecond) * 100);
}

std::int64_t Ticks(const FILETIME& ft) {
    return static_cast<std::int64_t>((static_cast<std::uint64_t>(ft.dwHighDateTime) << 32) |
                                     ft.dwLowDateTime);
}

// Reparse points (symbolic links, junctions, mount points, cloud placeholders) are links:
// listed with their own data and never entered.
EFileType TypeOf(DWORD nAttributes) {
    if (nAttributes & FILE_ATTRIBUTE_REPARSE_POINT)
        return EFileType::Symlink;
    return (nAttributes & FILE_ATTRIBUTE_DIRECTORY) ? EFileType::Directory : EFileType::Regular;
}

EEntryKind KindOf(EFileType eType) {
    switch (eType) {
    case EFileType::Directory:
        return EEntryKind::Directory;
    case EFileType::Symlink:
        return EEntryKind::Symlink;
    case EFileType::Regular:
        return EEntryKind::Regular;
    case EFileType::Other:
        break;
    }
    return EEntryKind::Other;
}

void SetAttributes(DWORD nAttributes, SEntryStatus& status) {
    status.eType = TypeOf(nAttributes);
    status.bReadOnly = (nAttributes & FILE_ATTRIBUTE_READONLY) != 0;
    status.bCompressed = (nAttributes & FILE_ATTRIBUTE_COMPRESSED) != 0;
    status.bHidden = (nAttributes & FILE_ATTRIBUTE_HIDDEN) != 0;
    status.bSystem = (nAttributes & FILE_ATTRIBUTE_SYSTEM) != 0;
    status.bArchive = (nAttributes & FILE_ATTRIBUTE_ARCHIVE) != 0;
}

void FillFromHandleInfo(const BY_HANDLE_FILE_INFORMATION& info, SEntryStatus& status) {
    SetAttributes(info.dwFileAttributes, status);
    status.nSize = (static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    SetTime(Ticks(info.ftCreationTime), status.nCreation, status.nCreationNs);
    SetTime(Ticks(info.ftLastAccessTime), status.nLastAccess, status.nLastAccessNs);
    SetTime(Ticks(info.ftLastWriteTime), status.nLastWrite, status.nLastWriteNs);
    status.identity = {info.dwVolumeSerialNumber,
                       (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
}

void FillFromDirInfo(const FILE_ID_BOTH_DIR_INFO& info, std::uint64_t nVolume,
                     SEntryStatus& status) {
    SetAttributes(info.FileAttributes, status);
    status.nSize = static_cast<std::uint64_t>(info.EndOfFile.QuadPart);
    SetTime(info.CreationTime.QuadPart, status.nCreation, status.nCreationNs);
    SetTime(info.LastAccessTime.QuadPart, status.nLastAccess, status.nLastAccessNs);
    SetTime(info.LastWriteTime.QuadPart, status.nLastWrite, status.nLastWriteNs);
    status.identity = {nVolume, static_cast<std::uint64_t>(info.FileId.QuadPart)};
}

std::error_code HandleStatus(HANDLE h, SEntryStatus& status) {
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(h, &info))
        return LastWin32Error();
    FillFromHandleInfo(info, status);
    return {};
}

bool IsDotOrDotDot(std::wstring_view strName) {
    return strName == L"." || strName == L"..";
}

// The reparse data of a symbolic link or junction, as FSCTL_GET_REPARSE_POINT returns it
// (the kernel's REPARSE_DATA_BUFFER, which the user-mode headers leave out).
struct SReparseData {
    ULONG nTag;
    USHORT nDataLength;
    USHORT nReserved;
    USHORT nSubstituteOffset;
    USHORT nSubstituteLength;
    USHORT nPrintOffset;
    USHORT nPrintLength;
    // Symbolic links have a ULONG of flags here; junctions start their names.
};

const SRecord& RecordAt(const char* pBuffer, std::size_t nOffset) {
    return *std::launder(reinterpret_cast<const SRecord*>(pBuffer + nOffset));
}

// The enumeration's own buffer, one per thread, reused from one directory to the next.
char* QueryBuffer() {
    thread_local std::unique_ptr<LONGLONG[]> pBuffer;
    if (!pBuffer)
        pBuffer = std::make_unique_for_overwrite<LONGLONG[]>(kQuerySize / sizeof(LONGLONG));
    return reinterpret_cast<char*>(pBuffer.get());
}

} // namespace

// ---- CDirNames ----

const char* CDirNames::Name(std::size_t i) const {
    return m_pBuffer.get() + m_offsets[i] + sizeof(SRecord);
}

EEntryKind CDirNames::Kind(std::size_t i) const {
    return RecordAt(m_pBuffer.get(), m_offsets[i]).eKind;
}

void CDirNames::AddNameAttributes(std::size_t i, SEntryStatus& status) const {
    const SEntryStatus& known = RecordAt(m_pBuffer.get(), m_offsets[i]).status;
    status.bReadOnly = known.bReadOnly;
    status.bCompressed = known.bCompressed;
    status.bHidden = known.bHidden;
    status.bSystem = known.bSystem;
    status.bArchive = known.bArchive;
}

void CDirNames::Clear() {
    m_nUsed = 0;
    m_offsets.clear();
}

// ---- CDirReader ----

std::error_code CDirReader::OpenPath(const std::string& strPath) {
    m_fd.Close();
    std::wstring strSystemPath;
    if (const std::error_code ec = SystemPath(strPath, strSystemPath))
        return ec;
    // A link given here is followed, as on Linux.
    CHandle handle(CreateFileW(strSystemPath.c_str(), kDirectoryAccess | SYNCHRONIZE,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (handle.get() == INVALID_HANDLE_VALUE) {
        handle.release();
        return LastWin32Error();
    }
    SEntryStatus status;
    if (const std::error_code ec = HandleStatus(handle.get(), status))
        return ec;
    if (!status.IsDirectory())
        return std::make_error_code(std::errc::not_a_directory);
    return DescriptorFor(std::move(handle), _O_RDONLY, m_fd);
}

std::error_code CDirReader::OpenChild(const CDirReader& parent, const char* pszRawName) {
    m_fd.Close();
    return OpenSubDirectory(parent.m_fd, pszRawName, m_fd);
}

std::error_code CDirReader::ReadNames(CDirNames& names, const std::function<bool()>& fnGoOn) {
    names.Clear();
    if (!m_fd.IsOpen())
        return std::make_error_code(std::errc::bad_file_descriptor);
    const HANDLE hDir = HandleOf(m_fd.Get());
    BY_HANDLE_FILE_INFORMATION self{};
    if (!GetFileInformationByHandle(hDir, &self))
        return LastWin32Error();
    char* pQuery = QueryBuffer();
    // The first call starts at the beginning, also on a handle read before.
    FILE_INFO_BY_HANDLE_CLASS eClass = FileIdBothDirectoryRestartInfo;
    for (;;) {
        if (!GetFileInformationByHandleEx(hDir, eClass, pQuery, kQuerySize)) {
            const DWORD nError = GetLastError();
            return nError == ERROR_NO_MORE_FILES ? std::error_code{} : ErrorFromWin32(nError);
        }
        eClass = FileIdBothDirectoryInfo;
        for (std::size_t nPos = 0;;) {
            const auto& info = *reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(pQuery + nPos);
            const std::wstring_view strWide(info.FileName, info.FileNameLength / sizeof(WCHAR));
            if (!IsDotOrDotDot(strWide)) {
                const std::string strName = Utf8FromWide(strWide);
                const std::size_t nNeed =
                    (sizeof(SRecord) + strName.size() + 1 + kRecordAlign - 1) & ~(kRecordAlign - 1);
                if (names.m_nCapacity - names.m_nUsed < nNeed) {
                    const std::size_t nNew = std::max(names.m_nCapacity * 2, names.m_nUsed + nNeed + kQuerySize);
                    auto pNew = std::make_unique_for_overwrite<char[]>(nNew);
                    if (names.m_nUsed > 0)
                        std::memcpy(pNew.get(), names.m_pBuffer.get(), names.m_nUsed);
                    names.m_pBuffer = std::move(pNew);
                    names.m_nCapacity = nNew;
                }
                char* pRecord = names.m_pBuffer.get() + names.m_nUsed;
                SRecord* pNewRecord = new (pRecord) SRecord{};
                FillFromDirInfo(info, self.dwVolumeSerialNumber, pNewRecord->status);
                pNewRecord->eKind = KindOf(pNewRecord->status.eType);
                std::memcpy(pRecord + sizeof(SRecord), strName.c_str(), strName.size() + 1);
                names.m_offsets.push_back(names.m_nUsed);
                names.m_nUsed += nNeed;
            }
            if (info.NextEntryOffset == 0)
                break;
            nPos += info.NextEntryOffset;
        }
        if (fnGoOn && !fnGoOn())
            return {};
    }
}

std::error_code CDirReader::Stat(const char* pszName, SEntryStatus& status) const {
    if (!m_fd.IsOpen())
        return std::make_error_code(std::errc::bad_file_descriptor);
    CHandle handle;
    if (const std::error_code ec =
            OpenRelative(HandleOf(m_fd.Get()), pszName, FILE_READ_ATTRIBUTES, 0, handle))
        return ec;
    return HandleStatus(handle.get(), status);
}

std::error_code CDirReader::StatEntry(const CDirNames& names, std::size_t i,
                                      SEntryStatus& status) const {
    status = RecordAt(names.m_pBuffer.get(), names.m_offsets[i]).status;
    return {};
}

std::error_code CDirReader::StatSelf(SEntryStatus& status) const {
    if (!m_fd.IsOpen())
        return std::make_error_code(std::errc::bad_file_descriptor);
    return HandleStatus(HandleOf(m_fd.Get()), status);
}

std::error_code CDirReader::ReadLinkTarget(const char* pszName, std::string& strTarget) const {
    if (!m_fd.IsOpen())
        return std::make_error_code(std::errc::bad_file_descriptor);
    CHandle handle;
    if (const std::error_code ec =
            OpenRelative(HandleOf(m_fd.Get()), pszName, FILE_READ_ATTRIBUTES, 0, handle))
        return ec;
    auto pData = std::make_unique<LONGLONG[]>(MAXIMUM_REPARSE_DATA_BUFFER_SIZE / sizeof(LONGLONG));
    DWORD nReturned = 0;
    strTarget.clear();
    if (!DeviceIoControl(handle.get(), FSCTL_GET_REPARSE_POINT, nullptr, 0, pData.get(),
                         MAXIMUM_REPARSE_DATA_BUFFER_SIZE, &nReturned, nullptr)) {
        const DWORD nError = GetLastError();
        // A link whose kind carries no text (as Wine shows a Linux link): listed without one.
        if (nError == ERROR_NOT_A_REPARSE_POINT || nError == ERROR_INVALID_FUNCTION ||
            nError == ERROR_NOT_SUPPORTED)
            return {};
        return ErrorFromWin32(nError);
    }
    const auto& data = *reinterpret_cast<const SReparseData*>(pData.get());
    const auto* pNames = reinterpret_cast<const char*>(pData.get()) + sizeof(SReparseData);
    if (data.nTag == IO_REPARSE_TAG_SYMLINK)
        pNames += sizeof(ULONG);
    else if (data.nTag != IO_REPARSE_TAG_MOUNT_POINT)
        return {}; // a placeholder or another kind of reparse point: no link text
    const auto* pPath = reinterpret_cast<const WCHAR*>(pNames);
    // The name a user gave, where the link keeps it; else the system's own form.
    USHORT nOffset = data.nPrintOffset;
    USHORT nLength = data.nPrintLength;
    if (nLength == 0) {
        nOffset = data.nSubstituteOffset;
        nLength = data.nSubstituteLength;
    }
    if (sizeof(SReparseData) + sizeof(ULONG) + nOffset + nLength > nReturned)
        return std::make_error_code(std::errc::io_error);
    strTarget = Utf8FromWide({pPath + nOffset / sizeof(WCHAR), nLength / sizeof(WCHAR)});
    return {};
}

std::error_code OpenSubDirectory(const CFileDescriptor& parent, const char* pszRawName,
                                 CFileDescriptor& fd) {
    if (!parent.IsOpen())
        return std::make_error_code(std::errc::bad_file_descriptor);
    CHandle handle;
    if (const std::error_code ec = OpenRelative(HandleOf(parent.Get()), pszRawName,
                                                kDirectoryAccess, FILE_DIRECTORY_FILE, handle))
        return ec;
    // A junction or a directory link opened as itself: never entered, as O_NOFOLLOW refuses.
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(handle.get(), &info))
        return LastWin32Error();
    if (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)
        return std::make_error_code(std::errc::too_many_symbolic_link_levels);
    return DescriptorFor(std::move(handle), _O_RDONLY, fd);
}

std::error_code IdentityOf(const CFileDescriptor& fd, SFileIdentity& identity) {
    SEntryStatus status;
    if (const std::error_code ec = HandleStatus(HandleOf(fd.Get()), status))
        return ec;
    identity = status.identity;
    return {};
}

std::size_t FreeDescriptorCount() {
    return kRuntimeDescriptors - kDescriptorsKept;
}

std::error_code CDirReader::HashFile(CContentHasher& hasher, const char* pszName,
                                     SContentDigest& digest, std::uint64_t& nBytesRead) const {
    return hasher.HashFileAt(m_fd.Get(), pszName, digest, nBytesRead);
}
