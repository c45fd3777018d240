#include "platform/ContentHash.h"

#include <windows.h>
// After windows.h, which they need.
#include <bcrypt.h>
#include <winternl.h>

#include <fcntl.h>

#include <new>

#include "platform/DirReader.h"
#include "platform/HashState.h"
#include "platform/windows/WinFile.h"

namespace {

// SHA-256 from Windows' own CNG; the algorithm provider is opened once per hasher.
class CSha256State final : public CContentHasher::CState {
public:
    CSha256State() {
        BCRYPT_ALG_HANDLE hAlgorithm = nullptr;
        if (BCryptOpenAlgorithmProvider(&hAlgorithm, BCRYPT_SHA256_ALGORITHM, nullptr,
                                        BCRYPT_HASH_REUSABLE_FLAG) < 0)
            throw std::bad_alloc();
        m_pAlgorithm.reset(hAlgorithm);
        BCRYPT_HASH_HANDLE hHash = nullptr;
        if (BCryptCreateHash(hAlgorithm, &hHash, nullptr, 0, nullptr, 0,
                             BCRYPT_HASH_REUSABLE_FLAG) < 0)
            throw std::bad_alloc();
        m_pHash.reset(hHash);
    }
    // A reusable hash starts over after each BCryptFinishHash; one left half-fed by a failed
    // read is finished into a scratch digest.
    void Reset() override {
        if (m_bFed) {
            SContentDigest scratch;
            BCryptFinishHash(m_pHash.get(), scratch.bytes.data(), 32, 0);
            m_bFed = false;
        }
    }
    void Update(const unsigned char* p, std::size_t n) override {
        m_bFed = true;
        while (n > 0) {
            const ULONG nPart = n > 0x40000000 ? 0x40000000 : static_cast<ULONG>(n);
            BCryptHashData(m_pHash.get(), const_cast<PUCHAR>(p), nPart, 0);
            p += nPart;
            n -= nPart;
        }
    }
    SContentDigest Final() override {
        SContentDigest digest;
        BCryptFinishHash(m_pHash.get(), digest.bytes.data(), 32, 0);
        digest.nSize = 32;
        m_bFed = false;
        return digest;
    }

private:
    struct SCloseAlgorithm {
        void operator()(void* h) const { BCryptCloseAlgorithmProvider(h, 0); }
    };
    struct SDestroyHash {
        void operator()(void* h) const { BCryptDestroyHash(h); }
    };
    std::unique_ptr<void, SCloseAlgorithm> m_pAlgorithm;
    std::unique_ptr<void, SDestroyHash> m_pHash;
    bool m_bFed = false;
};

} // namespace

std::unique_ptr<CContentHasher::CState> MakeSha256State() {
    return std::make_unique<CSha256State>();
}

// The file is opened as itself (a reparse point is never followed) and must still be a
// regular file: the scan saw one there.
std::error_code OpenForHashing(int nDirFd, const char* pszName, CFileDescriptor& fd,
                               SEntryStatus& status) {
    CHandle file;
    if (const std::error_code ec =
            OpenRelative(HandleOf(nDirFd), pszName, FILE_READ_DATA | FILE_READ_ATTRIBUTES,
                         FILE_NON_DIRECTORY_FILE | FILE_SEQUENTIAL_ONLY, file))
        return ec;
    if (const std::error_code ec = DescriptorFor(std::move(file), _O_RDONLY, fd))
        return ec;
    if (const std::error_code ec = StatusOf(fd, status))
        return ec;
    if (status.eType != EFileType::Regular)
        return std::make_error_code(std::errc::invalid_argument);
    return {};
}
