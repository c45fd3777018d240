#pragma once

#include <cstdint>
#include <functional>
#include <string>

// How a child process is set up before it runs: for tests that change what the whole process
// sees (user, limits, working directory) without changing it for the test program.
struct SChildSetup {
    // Drops root to the user "nobody", so tests see what permissions deny although the
    // suite runs as root.
    bool bAsNobody = false;
    // RLIMIT_FSIZE with SIGXFSZ ignored: a write past it fails with EFBIG, a real write fault
    // that needs no privileges. 0: no limit.
    std::uint64_t nFileSizeLimit = 0;
    // RLIMIT_NOFILE, soft and hard, as `ulimit -n` sets them. 0: unchanged.
    std::uint64_t nDescriptorLimit = 0;
    // Where the child runs; empty: here.
    std::string strWorkDir;
};

// Runs fn in a forked child set up as asked. Returns fn's result (the child's exit status),
// 126 when the setup failed, or -1 when the child could not be run or did not exit. Windows
// cannot fork: there it returns -1 (tests that need it are Linux-only).
int RunInChild(const std::function<int()>& fn, const SChildSetup& setup = {});

// The two setups most tests need.
inline SChildSetup AsNobody() {
    SChildSetup setup;
    setup.bAsNobody = true;
    return setup;
}

inline SChildSetup WithFileSizeLimit(std::uint64_t nBytes) {
    SChildSetup setup;
    setup.nFileSizeLimit = nBytes;
    return setup;
}
