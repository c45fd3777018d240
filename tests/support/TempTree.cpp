#include "support/TempTree.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <dirent.h>

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <vector>

namespace fs = std::filesystem;

namespace {

void Check(bool bOk, const std::string& strWhat) {
    if (!bOk)
        throw std::runtime_error("test fixture: " + strWhat);
}

std::vector<std::string> NamesIn(int nDirFd) {
    std::vector<std::string> names;
    const int nFd = dup(nDirFd);
    DIR* pDir = nFd >= 0 ? fdopendir(nFd) : nullptr;
    if (pDir == nullptr) {
        if (nFd >= 0)
            close(nFd);
        return names;
    }
    rewinddir(pDir);
    while (const dirent* pEnt = readdir(pDir)) {
        const std::string strName = pEnt->d_name;
        if (strName != "." && strName != "..")
            names.push_back(strName);
    }
    closedir(pDir);
    return names;
}

// Empties the directory nTopFd however deep the tree below it is, with two descriptors at
// most: each subdirectory's own subdirectories are first moved up into the top directory,
// then it is emptied and removed. Permissions that tests took away are given back first.
void RemoveAllBelow(int nTopFd) {
    unsigned nMoved = 0;
    for (bool bAgain = true; bAgain;) {
        bAgain = false;
        for (const std::string& strName : NamesIn(nTopFd)) {
            if (unlinkat(nTopFd, strName.c_str(), 0) == 0)
                continue;
            fchmodat(nTopFd, strName.c_str(), 0700, 0);
            const int nFd =
                openat(nTopFd, strName.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
            if (nFd < 0)
                continue;
            for (const std::string& strChild : NamesIn(nFd)) {
                if (unlinkat(nFd, strChild.c_str(), 0) == 0)
                    continue;
                for (;;) {
                    const std::string strUp = "kwl-rm-" + std::to_string(nMoved++);
                    if (renameat2(nFd, strChild.c_str(), nTopFd, strUp.c_str(), RENAME_NOREPLACE) ==
                            0 ||
                        errno != EEXIST)
                        break;
                }
                bAgain = true;
            }
            close(nFd);
            unlinkat(nTopFd, strName.c_str(), AT_REMOVEDIR);
        }
    }
}

std::string MakeTempDir(const std::string& strBase) {
    std::string strTemplate = strBase + "/kwl-test-XXXXXX";
    Check(mkdtemp(strTemplate.data()) != nullptr, "mkdtemp in " + strBase);
    // Lets the unprivileged child processes of RunAsNobody reach the tree.
    chmod(strTemplate.c_str(), 0755);
    return strTemplate;
}

} // namespace

CTempTree::CTempTree() : m_strRoot(MakeTempDir(fs::temp_directory_path().string())) {}

CTempTree::CTempTree(const std::string& strBase) : m_strRoot(MakeTempDir(strBase)) {}

CTempTree::~CTempTree() {
    const int nFd = open(m_strRoot.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (nFd >= 0) {
        RemoveAllBelow(nFd);
        close(nFd);
    }
    rmdir(m_strRoot.c_str());
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

std::string CTempTree::AddChain(const std::string& strRelative, int nDepth,
                                const std::string& strDirName, const std::string& strLeaf) {
    const std::string strTop = AddDir(strRelative);
    int nFd = open(strTop.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    Check(nFd >= 0, "open " + strTop);
    for (int i = 0; i < nDepth; ++i) {
        Check(mkdirat(nFd, strDirName.c_str(), 0755) == 0, "mkdirat in " + strTop);
        const int nNext = openat(nFd, strDirName.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        close(nFd);
        Check(nNext >= 0, "openat in " + strTop);
        nFd = nNext;
    }
    const int nLeaf = openat(nFd, strLeaf.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    close(nFd);
    Check(nLeaf >= 0, "create the leaf in " + strTop);
    close(nLeaf);
    return strTop;
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

bool CTempTree::CanMakeLinks() {
    return true;
}

bool CTempTree::AllowsName(const std::string& /*strName*/) {
    return true; // every byte but "/" and NUL
}

std::string CurrentWorkingDir() {
    char buf[PATH_MAX];
    return getcwd(buf, sizeof buf) ? std::string(buf) : std::string();
}

CWorkingDirGuard::CWorkingDirGuard() : m_strSaved(CurrentWorkingDir()) {}

CWorkingDirGuard::~CWorkingDirGuard() {
    if (!m_strSaved.empty() && chdir(m_strSaved.c_str()) != 0) {
        // Nothing sensible to do in a destructor.
    }
}
