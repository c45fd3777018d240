#include "platform/ContentHash.h"

#include "platform/DirReader.h"
#include "platform/ErrorText.h"
#include "platform/HashState.h"

// What a file's hash promises, the same on every system; the twins open and read the file.

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

SContentDigest CContentHasher::HashBytes(std::string_view bytes) {
    m_pState->Reset();
    m_pState->Update(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
    return m_pState->Final();
}
