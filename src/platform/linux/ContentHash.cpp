#include "platform/ContentHash.h"

#include <fcntl.h>
#include <openssl/evp.h>
#include <unistd.h>

#include <cerrno>
#include <new>

#include "platform/DirReader.h"
#include "platform/FileDescriptor.h"
#include "platform/HashState.h"

// Opens a regular file of the directory for reading: never through a link, never blocking on a
// FIFO put there since the scan looked, and without an access time update where allowed
// (O_NOATIME is for the owner and for privileged callers only).
// status is the file's as it was opened.
std::error_code OpenForHashing(int nDirFd, const char* pszName, CFileDescriptor& fd,
                               SEntryStatus& status) {
    constexpr int kFlags = O_RDONLY | O_NOFOLLOW | O_NOCTTY | O_NONBLOCK | O_CLOEXEC;
    int nFd = openat(nDirFd, pszName, kFlags | O_NOATIME);
    if (nFd < 0 && errno == EPERM)
        nFd = openat(nDirFd, pszName, kFlags);
    if (nFd < 0)
        return {errno, std::generic_category()};
    fd = CFileDescriptor(nFd);
    if (const std::error_code ec = StatusOf(fd, status))
        return ec;
    if (status.eType != EFileType::Regular)
        return std::make_error_code(std::errc::invalid_argument);
    return {};
}

namespace {

class CSha256State final : public CContentHasher::CState {
public:
    CSha256State() : m_pContext(EVP_MD_CTX_new()), m_pMd(EVP_sha256()) {
        if (!m_pContext)
            throw std::bad_alloc();
    }
    void Reset() override { EVP_DigestInit_ex(m_pContext.get(), m_pMd, nullptr); }
    void Update(const unsigned char* p, std::size_t n) override {
        EVP_DigestUpdate(m_pContext.get(), p, n);
    }
    SContentDigest Final() override {
        SContentDigest digest;
        unsigned nSize = 0;
        EVP_DigestFinal_ex(m_pContext.get(), digest.bytes.data(), &nSize);
        digest.nSize = static_cast<unsigned char>(nSize);
        return digest;
    }

private:
    struct SFree {
        void operator()(EVP_MD_CTX* p) const { EVP_MD_CTX_free(p); }
    };
    std::unique_ptr<EVP_MD_CTX, SFree> m_pContext;
    const EVP_MD* m_pMd;
};

} // namespace

std::unique_ptr<CContentHasher::CState> MakeSha256State() {
    return std::make_unique<CSha256State>();
}
