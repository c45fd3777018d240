#pragma once

#include <cstdint>
#include <string>

#include "support/TempTree.h"

// A tmpfs of nBytes on a fresh directory: a disk that really fills up. It is mounted in a
// mount namespace of its own, which this process and the children it starts from then on
// share, and nothing else sees. Needs root (CAP_SYS_ADMIN); when mounting fails, IsMounted()
// is false and Reason() says why, so a test can skip. Unmounted and removed when it goes.
class CSmallDisk {
public:
    explicit CSmallDisk(std::uint64_t nBytes);
    ~CSmallDisk();
    CSmallDisk(const CSmallDisk&) = delete;
    CSmallDisk& operator=(const CSmallDisk&) = delete;

    bool IsMounted() const { return m_bMounted; }
    const std::string& Reason() const { return m_strReason; }
    const std::string& Root() const { return m_tree.Root(); }

private:
    CTempTree m_tree;
    bool m_bMounted = false;
    std::string m_strReason;
};
