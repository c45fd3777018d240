#pragma once

#include <unistd.h>

#include <utility>

// An open descriptor with one owner, closed when it goes. For descriptors that are only read
// through (directories): their close cannot lose data, so nobody needs to see its result.
class CFileDescriptor {
public:
    CFileDescriptor() = default;
    explicit CFileDescriptor(int nFd) noexcept : m_nFd(nFd) {}
    CFileDescriptor(CFileDescriptor&& other) noexcept : m_nFd(std::exchange(other.m_nFd, -1)) {}
    CFileDescriptor& operator=(CFileDescriptor&& other) noexcept {
        if (this != &other) {
            Close();
            m_nFd = std::exchange(other.m_nFd, -1);
        }
        return *this;
    }
    CFileDescriptor(const CFileDescriptor&) = delete;
    CFileDescriptor& operator=(const CFileDescriptor&) = delete;
    ~CFileDescriptor() { Close(); }

    bool IsOpen() const { return m_nFd >= 0; }
    // The descriptor for a system call; -1 when none is open.
    int Get() const { return m_nFd; }
    // Gives the descriptor up to a new owner.
    int Release() noexcept { return std::exchange(m_nFd, -1); }
    void Close() noexcept {
        if (m_nFd >= 0)
            close(std::exchange(m_nFd, -1));
    }

private:
    int m_nFd = -1;
};
