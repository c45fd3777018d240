#include "support/Child.h"

#include <pwd.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>

namespace {

// In the child, before fn runs: only calls that are safe after a fork of a process with
// threads (the window tests have them). The user goes last but for the working directory,
// so limits can still be set and the directory is entered with the child's own rights.
bool SetUp(const SChildSetup& setup, const passwd* pNobody) {
    if (setup.nFileSizeLimit != 0) {
        const rlimit limit{static_cast<rlim_t>(setup.nFileSizeLimit),
                           static_cast<rlim_t>(setup.nFileSizeLimit)};
        if (std::signal(SIGXFSZ, SIG_IGN) == SIG_ERR || setrlimit(RLIMIT_FSIZE, &limit) != 0)
            return false;
    }
    if (setup.nDescriptorLimit != 0) {
        const rlimit limit{static_cast<rlim_t>(setup.nDescriptorLimit),
                           static_cast<rlim_t>(setup.nDescriptorLimit)};
        if (setrlimit(RLIMIT_NOFILE, &limit) != 0)
            return false;
    }
    if (pNobody != nullptr && (setgid(pNobody->pw_gid) != 0 || setuid(pNobody->pw_uid) != 0))
        return false;
    return setup.strWorkDir.empty() || chdir(setup.strWorkDir.c_str()) == 0;
}

} // namespace

int RunInChild(const std::function<int()>& fn, const SChildSetup& setup) {
    const passwd* pNobody = setup.bAsNobody ? getpwnam("nobody") : nullptr;
    if (setup.bAsNobody && pNobody == nullptr)
        return -1;
    std::fflush(nullptr); // nothing buffered is written twice
    const pid_t pid = fork();
    if (pid < 0)
        return -1;
    if (pid == 0)
        _exit(SetUp(setup, pNobody) ? fn() : 126);
    int status = 0;
    if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}
