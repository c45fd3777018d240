// Makes a directory tree for the scan benchmark.
//
//   make_tree LAYOUT N DIR [--seed S] [--data-every K]
//
// LAYOUT
//   flat      one level of wide directories: up to 10,000 entries in DIR itself; above that,
//             directories of 10,000 files directly under DIR (a million entries: 100 of them).
//   single    N files in DIR itself: one directory of N entries. ext4 handles a million, but
//             making them is slow: 250 s here against 4 s for 100,000 (and 30 s for a
//             million in flat), hence flat as the default wide layout.
//   nested    directories of 20 files and up to 5 subdirectories, the remaining entries
//             shared evenly among the subdirectories; where a share is too small for a
//             subdirectory of 25 entries it stays as files, so the leaves hold 20 to 45 files.
//             Directories are about 1 in 25 entries at every size; depth about log5(N/25).
//   wide200k  one directory with 200,000 files: single with N = 200000 (N may be given as 0).
//
// N counts every entry below DIR (files, links and directories; DIR itself not included),
// which is the number the scanner reports. DIR must not exist yet, or be empty.
//
// Names are drawn from a fixed seed, so the same arguments make the same tree: camera and
// document names, mixed case, digits, several extensions, dot names, copies named "x (2)", and
// pairs that differ only in ASCII case (equal in name order, so the stable sort matters).
// Every K-th file (default 32) gets a few bytes of data; 1 in 200 is a symbolic link.

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <unordered_set>

namespace {

// Small, fast and the same on every machine (std:: distributions are not).
class CRandom {
public:
    explicit CRandom(std::uint64_t nSeed) : m_nState(nSeed) {}
    std::uint64_t Next() {
        std::uint64_t z = (m_nState += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    std::uint32_t Below(std::uint32_t n) { return static_cast<std::uint32_t>(Next() % n); }
    bool OneIn(std::uint32_t n) { return Below(n) == 0; }

private:
    std::uint64_t m_nState;
};

constexpr std::array kWords{
    "report",    "invoice", "holiday", "budget",   "draft",   "notes",  "summary",  "photo",
    "scan",      "backup",  "config",  "index",    "main",    "test",   "data",     "export",
    "letter",    "meeting", "project", "release",  "setup",   "readme", "chapter",  "figure",
    "table",     "log",     "archive", "contract", "minutes", "plan",   "sketch",   "track",
    "Überblick", "café",    "résumé",  "naïve",    "straße",  "zoë",    "ångström", "日本",
};
constexpr std::array kExtensions{
    ".txt", ".pdf", ".docx",   ".xlsx", ".jpg",  ".JPG", ".png",  ".cpp", ".h",   ".o",
    ".mp3", ".zip", ".tar.gz", ".log",  ".html", ".md",  ".json", ".bak", ".csv", "",
};
constexpr std::array kDirWords{
    "src",  "Documents", "Photos",  "build",    "lib",       "Music",
    "old",  "tmp",       "include", "Projects", "assets",    "test",
    "docs", "Backup",    "archive", "release",  "Downloads",
};

std::string Word(CRandom& rng) {
    std::string s = kWords[rng.Below(kWords.size())];
    switch (rng.Below(6)) {
    case 0: // Capitalised
        if (s[0] >= 'a' && s[0] <= 'z')
            s[0] = static_cast<char>(s[0] - 'a' + 'A');
        break;
    case 1: // UPPER (ASCII only)
        for (char& c : s)
            if (c >= 'a' && c <= 'z')
                c = static_cast<char>(c - 'a' + 'A');
        break;
    default:
        break;
    }
    return s;
}

std::string Digits(CRandom& rng, int nCount) {
    std::string s;
    for (int i = 0; i < nCount; ++i)
        s += static_cast<char>('0' + rng.Below(10));
    return s;
}

std::string TwoDigits(std::uint32_t n) {
    return {static_cast<char>('0' + n / 10 % 10), static_cast<char>('0' + n % 10)};
}

// Built by appending: "literal" + std::string trips a false -Wrestrict in g++ 12.
std::string FileName(CRandom& rng) {
    static constexpr std::array kSeparators{"_", "-", " ", ""};
    const char* pszExt = kExtensions[rng.Below(kExtensions.size())];
    std::string s;
    switch (rng.Below(10)) {
    case 0:
    case 1: // camera: long shared prefixes, the order decided late in the name
        s = rng.OneIn(2) ? "IMG_" : "DSC";
        s += Digits(rng, 4 + static_cast<int>(rng.Below(5)));
        s += rng.OneIn(2) ? ".JPG" : ".jpg";
        return s;
    case 2: // dated
        s = std::to_string(1995 + rng.Below(30));
        s += '-';
        s += TwoDigits(1 + rng.Below(12));
        s += '-';
        s += TwoDigits(1 + rng.Below(28));
        s += ' ';
        s += Word(rng);
        s += pszExt;
        return s;
    case 3: // dot name
        s = ".";
        s += Word(rng);
        if (rng.OneIn(2))
            s += "rc";
        return s;
    case 4: // versioned library
        s = "lib";
        s += Word(rng);
        s += ".so.";
        s += Digits(rng, 1);
        s += '.';
        s += Digits(rng, 1 + static_cast<int>(rng.Below(2)));
        return s;
    default: { // words with separators and numbers
        s = Word(rng);
        const int nWords = static_cast<int>(rng.Below(3));
        for (int i = 0; i < nWords; ++i) {
            s += kSeparators[rng.Below(kSeparators.size())];
            s += Word(rng);
        }
        if (!rng.OneIn(3)) {
            s += kSeparators[rng.Below(kSeparators.size())];
            s += Digits(rng, 1 + static_cast<int>(rng.Below(6)));
        }
        s += pszExt;
        return s;
    }
    }
}

std::string DirName(CRandom& rng) {
    std::string s = kDirWords[rng.Below(kDirWords.size())];
    if (!rng.OneIn(3)) {
        s += rng.OneIn(2) ? " " : "-";
        s += Digits(rng, 1 + static_cast<int>(rng.Below(4)));
    }
    return s;
}

std::string FlipCase(std::string s) {
    for (char& c : s) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
        else if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return s;
}

[[noreturn]] void Fail(const char* pszWhat, const std::string& strName) {
    std::fprintf(stderr, "make_tree: %s %s: %s\n", pszWhat, strName.c_str(), std::strerror(errno));
    std::exit(1);
}

class CTreeMaker {
public:
    CTreeMaker(std::uint64_t nSeed, std::uint32_t nDataEvery)
        : m_rng(nSeed), m_nDataEvery(nDataEvery) {}

    // N files in the directory nFd.
    void Single(int nFd, std::uint64_t nEntries) {
        std::unordered_set<std::string> used;
        used.reserve(nEntries);
        std::string strLast;
        for (std::uint64_t i = 0; i < nEntries; ++i)
            MakeFile(nFd, used, strLast);
    }

    // Small trees stay in one directory; larger ones are split into directories of
    // kPerDir files (each directory is an entry too).
    void Flat(int nFd, std::uint64_t nEntries) {
        constexpr std::uint64_t kPerDir = 10000;
        if (nEntries <= kPerDir) {
            Single(nFd, nEntries);
            return;
        }
        const std::uint64_t nDirs = (nEntries + kPerDir) / (kPerDir + 1);
        std::uint64_t nLeft = nEntries - nDirs;
        std::unordered_set<std::string> used;
        for (std::uint64_t d = 0; d < nDirs; ++d) {
            const std::uint64_t nShare = nLeft / (nDirs - d);
            nLeft -= nShare;
            const int nChild = MakeDirectory(nFd, used);
            m_nMaxDepth = 1;
            Single(nChild, nShare);
            close(nChild);
        }
    }

    // 20 files and up to 5 subdirectories here, the rest shared evenly among the
    // subdirectories; a share too small for a subdirectory of 25 stays here as files.
    void Nested(int nFd, std::uint64_t nEntries, int nDepth) {
        std::unordered_set<std::string> used;
        std::string strLast;
        std::uint64_t nFiles = nEntries < 20 ? nEntries : 20;
        std::uint64_t nLeft = nEntries - nFiles;
        const std::uint64_t nDirs = std::min<std::uint64_t>(5, nLeft / 26);
        if (nDirs == 0) {
            nFiles += nLeft;
            nLeft = 0;
        }
        for (std::uint64_t i = 0; i < nFiles; ++i)
            MakeFile(nFd, used, strLast);
        if (nDirs == 0)
            return;
        nLeft -= nDirs;
        for (std::uint64_t d = 0; d < nDirs; ++d) {
            const std::uint64_t nShare = nLeft / (nDirs - d);
            nLeft -= nShare;
            const int nChild = MakeDirectory(nFd, used);
            if (nDepth + 1 > m_nMaxDepth)
                m_nMaxDepth = nDepth + 1;
            Nested(nChild, nShare, nDepth + 1);
            close(nChild);
        }
    }

    std::uint64_t m_nFiles = 0;
    std::uint64_t m_nLinks = 0;
    std::uint64_t m_nDirs = 0;
    int m_nMaxDepth = 0;

private:
    // A clash becomes "name (2).ext"-style, the way copies are named.
    static std::string Unique(std::string strName, std::unordered_set<std::string>& used) {
        if (used.insert(strName).second)
            return strName;
        const std::size_t nDot = strName.find('.', 1);
        const std::string strStem = strName.substr(0, nDot);
        const std::string strExt = nDot == std::string::npos ? "" : strName.substr(nDot);
        for (int n = 2;; ++n) {
            std::string strTry = strStem + " (" + std::to_string(n) + ")" + strExt;
            if (used.insert(strTry).second)
                return strTry;
        }
    }

    // A new subdirectory with a name not yet used here; returns it opened.
    int MakeDirectory(int nFd, std::unordered_set<std::string>& used) {
        const std::string strName = Unique(DirName(m_rng), used);
        if (mkdirat(nFd, strName.c_str(), 0755) != 0)
            Fail("cannot create directory", strName);
        ++m_nDirs;
        const int nChild = openat(nFd, strName.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (nChild < 0)
            Fail("cannot open directory", strName);
        return nChild;
    }

    void MakeFile(int nFd, std::unordered_set<std::string>& used, std::string& strLast) {
        // 1 in 100: the last name again in other case, equal in name order.
        std::string strName =
            (!strLast.empty() && m_rng.OneIn(100)) ? FlipCase(strLast) : FileName(m_rng);
        strName = Unique(std::move(strName), used);
        if (!strLast.empty() && m_rng.OneIn(200)) {
            if (symlinkat(strLast.c_str(), nFd, strName.c_str()) != 0)
                Fail("cannot create link", strName);
            ++m_nLinks;
        } else {
            const int nFile =
                openat(nFd, strName.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
            if (nFile < 0)
                Fail("cannot create file", strName);
            if (m_nDataEvery != 0 && m_rng.OneIn(m_nDataEvery)) {
                char buf[512];
                std::memset(buf, 'x', sizeof buf);
                const std::size_t nSize = 1 + m_rng.Below(sizeof buf);
                if (write(nFile, buf, nSize) != static_cast<ssize_t>(nSize))
                    Fail("cannot write", strName);
            }
            close(nFile);
            ++m_nFiles;
        }
        strLast = std::move(strName);
    }

    CRandom m_rng;
    std::uint32_t m_nDataEvery;
};

int Usage() {
    std::fprintf(
        stderr, "usage: make_tree flat|single|nested|wide200k N DIR [--seed S] [--data-every K]\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 4)
        return Usage();
    const std::string_view strLayout = argv[1];
    std::uint64_t nEntries = std::strtoull(argv[2], nullptr, 10);
    const std::string strDir = argv[3];
    std::uint64_t nSeed = 20240607;
    std::uint32_t nDataEvery = 32;
    for (int i = 4; i + 1 < argc; i += 2) {
        const std::string_view strOpt = argv[i];
        if (strOpt == "--seed")
            nSeed = std::strtoull(argv[i + 1], nullptr, 10);
        else if (strOpt == "--data-every")
            nDataEvery = static_cast<std::uint32_t>(std::strtoul(argv[i + 1], nullptr, 10));
        else
            return Usage();
    }
    if (strLayout == "wide200k") {
        if (nEntries != 0 && nEntries != 200000)
            return Usage();
        nEntries = 200000;
    } else if (strLayout != "flat" && strLayout != "single" && strLayout != "nested") {
        return Usage();
    }

    if (mkdir(strDir.c_str(), 0755) != 0 && errno != EEXIST)
        Fail("cannot create", strDir);
    const int nRoot = open(strDir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (nRoot < 0)
        Fail("cannot open", strDir);

    // Refuse early rather than fill the disk halfway: an inode per entry, and a directory
    // block or a data block for some of them.
    struct statvfs vfs {};
    if (fstatvfs(nRoot, &vfs) == 0) {
        const std::uint64_t nNeedInodes = nEntries + nEntries / 10 + 10000;
        const std::uint64_t nNeedBytes =
            nEntries * 128 + (nDataEvery ? nEntries / nDataEvery : 0) * 4096 + (64ULL << 20);
        const std::uint64_t nFreeBytes = static_cast<std::uint64_t>(vfs.f_bavail) * vfs.f_frsize;
        if ((vfs.f_files != 0 && vfs.f_favail < nNeedInodes) || nFreeBytes < nNeedBytes) {
            std::fprintf(stderr,
                         "make_tree: not enough room in %s: need %llu inodes and %llu MiB, have "
                         "%llu inodes and %llu MiB\n",
                         strDir.c_str(), static_cast<unsigned long long>(nNeedInodes),
                         static_cast<unsigned long long>(nNeedBytes >> 20),
                         static_cast<unsigned long long>(vfs.f_favail),
                         static_cast<unsigned long long>(nFreeBytes >> 20));
            return 1;
        }
    }

    const auto tStart = std::chrono::steady_clock::now();
    CTreeMaker maker(nSeed, nDataEvery);
    if (strLayout == "nested")
        maker.Nested(nRoot, nEntries, 0);
    else if (strLayout == "flat")
        maker.Flat(nRoot, nEntries);
    else
        maker.Single(nRoot, nEntries);
    close(nRoot);
    const double dSeconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - tStart).count();
    std::printf("%s: %s, %llu entries (%llu files, %llu links, %llu directories, depth %d) in "
                "%.1f s\n",
                strDir.c_str(), std::string(strLayout).c_str(),
                static_cast<unsigned long long>(maker.m_nFiles + maker.m_nLinks + maker.m_nDirs),
                static_cast<unsigned long long>(maker.m_nFiles),
                static_cast<unsigned long long>(maker.m_nLinks),
                static_cast<unsigned long long>(maker.m_nDirs), maker.m_nMaxDepth, dSeconds);
    return 0;
}
