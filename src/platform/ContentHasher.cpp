#include "platform/ContentHash.h"

#include "platform/DirReader.h"
#include "platform/ErrorText.h"
#include "platform/FileRead.h"
#include "platform/HashState.h"

// What a file's hash promises, the same on every system; the twins open the file and give
// SHA-256.

namespace {

constexpr std::size_t kReadSize = 256 * 1024;

} // namespace

CContentHasher::CContentHasher(EHashAlgorithm eAlgorithm) : m_buffer(kReadSize) {
    if (eAlgorithm == EHashAlgorithm::Sha256)
        m_pState = MakeSha256State();
    else
        m_pState = std::make_unique<CXxh128State>();
}

CContentHasher::~CContentHasher() = default;

std::error_code CContentHasher::HashFileAt(int nDirFd, const char* pszName, SEntryStatus& status,
                                           SContentDigest& digest, std::uint64_t& nBytesRead) {
    SEntryStatus before;
    bool bHeldStill = false;
    if (const std::error_code ec = ReadOnce(nDirFd, pszName, before, bHeldStill, digest, nBytesRead))
        return ec;
    if (bHeldStill && before.IsSameVersionAs(status))
        return {};
    // Another version than the scan saw, or one that changed under the reads: once more, and
    // then the version read is the one recorded.
    if (const std::error_code ec = ReadOnce(nDirFd, pszName, before, bHeldStill, digest, nBytesRead))
        return ec;
    if (!bHeldStill)
        return {kErrnoChangedWhileRead, std::generic_category()};
    status = before;
    return {};
}

std::error_code CContentHasher::ReadOnce(int nDirFd, const char* pszName, SEntryStatus& before,
                                         bool& bHeldStill, SContentDigest& digest,
                                         std::uint64_t& nBytesRead) {
    CFileDescriptor fd;
    if (const std::error_code ec = OpenForHashing(nDirFd, pszName, fd, before))
        return ec;
    m_pState->Reset();
    if (const std::error_code ec = ReadAll(fd, nBytesRead))
        return ec;
    digest = m_pState->Final();
    SEntryStatus after;
    if (const std::error_code ec = StatusOf(fd, after))
        return ec;
    bHeldStill = after.IsSameVersionAs(before);
    return {};
}

std::error_code CContentHasher::ReadAll(const CFileDescriptor& fd, std::uint64_t& nBytesRead) {
    for (;;) {
        std::size_t nRead = 0;
        if (const std::error_code ec =
                ReadSome(fd, reinterpret_cast<char*>(m_buffer.data()), m_buffer.size(), nRead))
            return ec;
        if (nRead == 0)
            return {};
        m_pState->Update(m_buffer.data(), nRead);
        nBytesRead += nRead;
    }
}

SContentDigest CContentHasher::HashBytes(std::string_view bytes) {
    m_pState->Reset();
    m_pState->Update(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
    return m_pState->Final();
}
