#include "platform/FileWrite.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace {

// Linux writes at most this much in one call anyway.
constexpr std::size_t kMaxWrite = 1u << 30;

} // namespace

bool WriteAll(int nFd, std::string_view strBytes) {
    const char* p = strBytes.data();
    std::size_t nLeft = strBytes.size();
    while (nLeft > 0) {
        const ssize_t n = write(nFd, p, std::min(nLeft, kMaxWrite));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (n == 0) {
            errno = EIO;
            return false;
        }
        p += n;
        nLeft -= static_cast<std::size_t>(n);
    }
    return true;
}
