#pragma once

// The running states of the hash algorithms, for the content hashers of each system.

#include <xxhash.h>

#include <cstddef>
#include <memory>
#include <new>

#include "platform/ContentHash.h"

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
