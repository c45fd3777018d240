#include "platform/ContentHash.h"

#include <fcntl.h>
#include <openssl/evp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <new>

#include "platform/FileDescriptor.h"
#include "platform/HashState.h"

namespace {

constexpr std::size_t kReadSize = 256 * 1024;
// Opens a regular file of the directory for reading: never through a link, never blocking on a
// FIFO put there since the scan looked, and without an access time update where allowed
// (O_NOATIME is for the owner and for privileged callers only).
std::error_code OpenForHashing(int nDirFd, const char* pszName, CFileDescriptor& fd) {
    constexpr int kFlags = O_RDONLY | O_NOFOLLOW | O_NOCTTY | O_NONBLOCK | O_CLOEXEC;
    int nFd = openat(nDirFd, pszName, kFlags | O_NOATIME);
    if (nFd < 0 && errno == EPERM)
        nFd = openat(nDirFd, pszName, kFlags);
    if (nFd < 0)
        return {errno, std::generic_category()};
    fd = CFileDescriptor(nFd);
    struct stat st {};
    if (fstat(fd.Get(), &st) != 0)
        return {errno, std::generic_category()};
    if (!S_ISREG(st.st_mode))
        return std::make_error_code(std::errc::invalid_argument);
    return {};
}

} // namespace

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

CContentHasher::CContentHasher(EHashAlgorithm eAlgorithm) : m_buffer(kReadSize) {
    if (eAlgorithm == EHashAlgorithm::Sha256)
        m_pState = std::make_unique<CSha256State>();
    else
        m_pState = std::make_unique<CXxh128State>();
}

CContentHasher::~CContentHasher() = default;

std::error_code CContentHasher::HashFileAt(int nDirFd, const char* pszName,
                                           SContentDigest& digest, std::uint64_t& nBytesRead) {
    CFileDescriptor fd;
    if (const std::error_code ec = OpenForHashing(nDirFd, pszName, fd))
        return ec;
    m_pState->Reset();
    for (;;) {
        const ssize_t nRead = read(fd.Get(), m_buffer.data(), m_buffer.size());
        if (nRead == 0)
            break;
        if (nRead < 0) {
            if (errno == EINTR)
                continue;
            return {errno, std::generic_category()};
        }
        m_pState->Update(m_buffer.data(), static_cast<std::size_t>(nRead));
        nBytesRead += static_cast<std::uint64_t>(nRead);
    }
    digest = m_pState->Final();
    return {};
}

SContentDigest CContentHasher::HashBytes(std::string_view bytes) {
    m_pState->Reset();
    m_pState->Update(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
    return m_pState->Final();
}
