#include "support/EntryFacts.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

SFileTime TimeOf(const statx_timestamp& time) {
    return {time.tv_sec, time.tv_nsec};
}

std::string TypeOf(unsigned nMode) {
    if (S_ISDIR(nMode))
        return "directory";
    if (S_ISREG(nMode))
        return "file";
    return S_ISLNK(nMode) ? "symlink" : "other";
}

std::string LinkText(const std::string& strPath) {
    std::string strTarget(8192, '\0');
    const ssize_t n = readlink(strPath.c_str(), strTarget.data(), strTarget.size());
    strTarget.resize(n < 0 ? 0 : static_cast<std::size_t>(n));
    return strTarget;
}

} // namespace

std::optional<SEntryFacts> EntryFactsOf(const std::string& strPath) {
    struct statx stx {};
    if (statx(AT_FDCWD, strPath.c_str(), AT_SYMLINK_NOFOLLOW, STATX_BASIC_STATS | STATX_BTIME,
              &stx) != 0)
        return std::nullopt;
    SEntryFacts facts;
    facts.strType = TypeOf(stx.stx_mode);
    facts.nSize = stx.stx_size;
    facts.modified = TimeOf(stx.stx_mtime);
    facts.accessed = TimeOf(stx.stx_atime);
    facts.created = TimeOf((stx.stx_mask & STATX_BTIME) ? stx.stx_btime : stx.stx_ctime);
    facts.bReadOnly = (stx.stx_mode & S_IWUSR) == 0;
    if (S_ISLNK(stx.stx_mode))
        facts.strLinkText = LinkText(strPath);
    return facts;
}
