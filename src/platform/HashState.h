#pragma once

// What the content hasher needs of each system: the running states of the hash algorithms
// and the opening of a file to hash.

#include <xxhash.h>

#include <cstddef>
#include <memory>
#include <new>

#include "platform/ContentHash.h"
#include "platform/DirReader.h"
#include "platform/FileDescriptor.h"

// The running state of one algorithm.
class CContentHasher::CState {
public:
    virtual ~CState() = default;
    virtual void Reset() = 0;
    virtual void Update(const unsigned char* p, std::size_t n) = 0;
    virtual SContentDigest Final() = 0;
};

// XXH3 128-bit from xxHash, the same on every system.
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

// SHA-256 as the system provides it.
std::unique_ptr<CContentHasher::CState> MakeSha256State();

// Opens the regular file pszName of the directory open as nDirFd for hashing: never through a
// link and never waiting on whatever was put there since the scan looked; status is the
// file's as it was opened. An error when it is no longer a regular file.
std::error_code OpenForHashing(int nDirFd, const char* pszName, CFileDescriptor& fd,
                               SEntryStatus& status);
