#include "platform/ContentHash.h"

#include <fcntl.h>
#include <openssl/evp.h>
#include <sys/stat.h>
#include <unistd.h>
#include <xxhash.h>

#include <cerrno>
#include <new>

#include "platform/FileDescriptor.h"

namespace {

constexpr std::size_t kReadSize = 256 * 1024;
constexpr std::string_view kHexDigits = "0123456789abcdef";

std::size_t DigestSizeOf(EHashAlgorithm eAlgorithm) {
    switch (eAlgorithm) {
    case EHashAlgorithm::Sha256:
        return 32;
    case EHashAlgorithm::Xxh128:
        return 16;
    case EHashAlgorithm::None:
        break;
    }
    return 0;
}

int HexValue(char c) {
    const std::size_t n = kHexDigits.find(c);
    return n == std::string_view::npos ? -1 : static_cast<int>(n);
}

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

std::string_view HashAlgorithmName(EHashAlgorithm eAlgorithm) {
    switch (eAlgorithm) {
    case EHashAlgorithm::Sha256:
        return "sha256";
    case EHashAlgorithm::Xxh128:
        return "xxh128";
    case EHashAlgorithm::None:
        break;
    }
    return {};
}

std::optional<EHashAlgorithm> HashAlgorithmByName(std::string_view strName) {
    for (const EHashAlgorithm e : {EHashAlgorithm::Sha256, EHashAlgorithm::Xxh128}) {
        if (strName == HashAlgorithmName(e))
            return e;
    }
    return std::nullopt;
}

std::string DigestHex(const SContentDigest& digest) {
    std::string strHex;
    strHex.reserve(digest.nSize * 2U);
    for (std::size_t i = 0; i < digest.nSize; ++i) {
        strHex += kHexDigits[digest.bytes[i] >> 4];
        strHex += kHexDigits[digest.bytes[i] & 0x0F];
    }
    return strHex;
}

bool DigestFromHex(std::string_view strHex, EHashAlgorithm eAlgorithm, SContentDigest& digest) {
    const std::size_t nSize = DigestSizeOf(eAlgorithm);
    if (nSize == 0 || strHex.size() != nSize * 2)
        return false;
    for (std::size_t i = 0; i < nSize; ++i) {
        const int nHigh = HexValue(strHex[2 * i]);
        const int nLow = HexValue(strHex[2 * i + 1]);
        if (nHigh < 0 || nLow < 0)
            return false;
        digest.bytes[i] = static_cast<unsigned char>(nHigh * 16 + nLow);
    }
    digest.nSize = static_cast<unsigned char>(nSize);
    return true;
}

// The running state of one algorithm.
class CContentHasher::CState {
public:
    virtual ~CState() = default;
    virtual void Reset() = 0;
    virtual void Update(const unsigned char* p, std::size_t n) = 0;
    virtual SContentDigest Final() = 0;
};

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

class CXxh128State final : public CContentHasher::CState {
public:
    CXxh128State() : m_pState(XXH3_createState()) {
        if (!m_pState)
            throw std::bad_alloc();
    }
    void Reset() override { XXH3_128bits_reset(m_pState.get()); }
    void Update(const unsigned char* p, std::size_t n) override {
        XXH3_128bits_update(m_pState.get(), p, n);
    }
    // Canonical (big-endian) bytes, the order xxhsum prints.
    SContentDigest Final() override {
        XXH128_canonical_t canonical;
        XXH128_canonicalFromHash(&canonical, XXH3_128bits_digest(m_pState.get()));
        SContentDigest digest;
        static_assert(sizeof(canonical.digest) == 16);
        for (std::size_t i = 0; i < sizeof(canonical.digest); ++i)
            digest.bytes[i] = canonical.digest[i];
        digest.nSize = sizeof(canonical.digest);
        return digest;
    }

private:
    struct SFree {
        void operator()(XXH3_state_t* p) const { XXH3_freeState(p); }
    };
    std::unique_ptr<XXH3_state_t, SFree> m_pState;
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
