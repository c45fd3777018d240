#include "dialogs/WorkingDirectory.h"

#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

void ChangeToParentDirectory(const std::string& strPath) {
    if (strPath.empty())
        return;
    // Through the directory itself where it can be entered: its ".." is its real parent.
    std::error_code ec;
    fs::current_path(strPath, ec);
    if (!ec) {
        fs::current_path("..", ec);
        if (!ec)
            return;
    }
    // Not enterable: the parent by name.
    const fs::path absolute = fs::absolute(strPath, ec);
    if (ec)
        return;
    fs::path normal = absolute.lexically_normal();
    if (!normal.has_filename())
        normal = normal.parent_path(); // "/a/b/" names the same directory as "/a/b"
    const fs::path parent = normal.parent_path();
    if (!parent.empty())
        fs::current_path(parent, ec); // where it cannot be entered either, nothing changes
}
