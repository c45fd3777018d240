#include "support/TempTree.h"

#include <fcntl.h>
#include <pwd.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <stdexcept>

namespace fs = std::filesystem;

namespace {

void Check(bool bOk, const std::string& strWhat) {
    if (!bOk)
        throw std::runtime_error("test fixture: " + strWhat);
}

} // namespace

CTempTree::CTempTree() {
    std::string strTemplate = (fs::temp_directory_path() / "kwl-test-XXXXXX").string();
    Check(mkdtemp(strTemplate.data()) != nullptr, "mkdtemp");
    m_strRoot = strTemplate;
    // Lets the unprivileged child processes of RunAsNobody reach the tree.
    chmod(m_strRoot.c_str(), 0755);
}

CTempTree::~CTempTree() {
    std::error_code ec;
    // Give back permissions that tests took away, so removal cannot fail half way.
    for (auto it = fs::recursive_directory_iterator(
             m_strRoot, fs::directory_options::skip_permission_denied, ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        if (it->is_directory(ec) && !it->is_symlink(ec))
            chmod(it->path().c_str(), 0755);
    }
    fs::remove_all(m_strRoot, ec);
}

std::string CTempTree::Path(const std::string& strRelative) const {
    return strRelative.empty() ? m_strRoot : m_strRoot + "/" + strRelative;
}

std::string CTempTree::AddDir(const std::string& strRelative) {
    const std::string strPath = Path(strRelative);
    fs::create_directories(strPath);
    return strPath;
}

std::string CTempTree::AddFile(const std::string& strRelative, std::uint64_t nSize) {
    const std::string strPath = Path(strRelative);
    fs::create_directories(fs::path(strPath).parent_path());
    const int fd = open(strPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    Check(fd >= 0, "create " + strPath);
    std::string strBlock(64 * 1024, 'x');
    std::uint64_t nLeft = nSize;
    while (nLeft > 0) {
        const std::size_t n =
            nLeft < strBlock.size() ? static_cast<std::size_t>(nLeft) : strBlock.size();
        Check(write(fd, strBlock.data(), n) == static_cast<ssize_t>(n), "write " + strPath);
        nLeft -= n;
    }
    close(fd);
    return strPath;
}

std::string CTempTree::AddSparseFile(const std::string& strRelative, std::uint64_t nSize) {
    const std::string strPath = Path(strRelative);
    fs::create_directories(fs::path(strPath).parent_path());
    const int fd = open(strPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    Check(fd >= 0, "create " + strPath);
    Check(ftruncate(fd, static_cast<off_t>(nSize)) == 0, "truncate " + strPath);
    close(fd);
    return strPath;
}

std::string CTempTree::AddLink(const std::string& strRelative, const std::string& strTarget) {
    const std::string strPath = Path(strRelative);
    fs::create_directories(fs::path(strPath).parent_path());
    Check(symlink(strTarget.c_str(), strPath.c_str()) == 0, "symlink " + strPath);
    return strPath;
}

void CTempTree::SetTimes(const std::string& strRelative, std::int64_t nAccess,
                         std::int64_t nWrite) {
    timespec times[2]{};
    times[0].tv_sec = static_cast<time_t>(nAccess);
    times[1].tv_sec = static_cast<time_t>(nWrite);
    Check(utimensat(AT_FDCWD, Path(strRelative).c_str(), times, AT_SYMLINK_NOFOLLOW) == 0,
          "utimensat " + strRelative);
}

void CTempTree::SetMode(const std::string& strRelative, unsigned nMode) {
    Check(chmod(Path(strRelative).c_str(), nMode) == 0, "chmod " + strRelative);
}

std::string CurrentWorkingDir() {
    char buf[PATH_MAX];
    return getcwd(buf, sizeof buf) ? std::string(buf) : std::string();
}

std::set<std::string> NamesIn(const std::string& strDir) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(strDir))
        names.insert(entry.path().filename().string());
    return names;
}

CWorkingDirGuard::CWorkingDirGuard() : m_strSaved(CurrentWorkingDir()) {}

CWorkingDirGuard::~CWorkingDirGuard() {
    if (!m_strSaved.empty() && chdir(m_strSaved.c_str()) != 0) {
        // Nothing sensible to do in a destructor.
    }
}

namespace {

// Runs fn in a child process after fnPrepare (which returns false when the child cannot be
// prepared); the child's exit status, or -1 when it could not be run.
template <class PrepareFn> int RunInChild(int (*fn)(void*), void* pArg, PrepareFn fnPrepare) {
    const pid_t pid = fork();
    if (pid < 0)
        return -1;
    if (pid == 0) {
        if (!fnPrepare())
            _exit(126);
        _exit(fn(pArg));
    }
    int status = 0;
    if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

} // namespace

int RunAsNobody(int (*fn)(void*), void* pArg) {
    const passwd* pw = getpwnam("nobody");
    if (pw == nullptr)
        return -1;
    const uid_t uid = pw->pw_uid;
    const gid_t gid = pw->pw_gid;
    return RunInChild(fn, pArg, [&] { return setgid(gid) == 0 && setuid(uid) == 0; });
}

int RunWithFileSizeLimit(int (*fn)(void*), void* pArg, std::uint64_t nBytes) {
    return RunInChild(fn, pArg, [&] {
        const rlimit limit{static_cast<rlim_t>(nBytes), static_cast<rlim_t>(nBytes)};
        return std::signal(SIGXFSZ, SIG_IGN) != SIG_ERR && setrlimit(RLIMIT_FSIZE, &limit) == 0;
    });
}

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
