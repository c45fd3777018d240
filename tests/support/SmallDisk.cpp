#include "support/SmallDisk.h"

#include <sched.h>
#include <sys/mount.h>

#include <cerrno>
#include <cstring>

CSmallDisk::CSmallDisk(std::uint64_t nBytes) {
    // In a mount namespace of this process (and the children it starts) alone, so the rest of
    // the machine never sees the mount, not even when a test dies before unmounting.
    if (unshare(CLONE_NEWNS) != 0 ||
        mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
        m_strReason = std::string("private mount namespace: ") + std::strerror(errno);
        return;
    }
    const std::string strOptions = "size=" + std::to_string(nBytes) + ",mode=0755";
    m_bMounted = mount("kwl-test", m_tree.Root().c_str(), "tmpfs", MS_NOSUID | MS_NODEV,
                       strOptions.c_str()) == 0;
    if (!m_bMounted)
        m_strReason = std::string("mount -t tmpfs: ") + std::strerror(errno);
}

CSmallDisk::~CSmallDisk() {
    if (m_bMounted)
        umount2(m_tree.Root().c_str(), MNT_DETACH);
}
