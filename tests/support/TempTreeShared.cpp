// What temporary trees offer alike on every system.
#include <filesystem>

#include "support/Paths.h"
#include "support/TempTree.h"

namespace fs = std::filesystem;

std::size_t CountEntries(const std::string& strDir) {
    std::size_t n = 0;
    for (auto it = fs::directory_iterator(FsPath(strDir)); it != fs::directory_iterator(); ++it)
        ++n;
    return n;
}

std::set<std::string> NamesIn(const std::string& strDir) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(FsPath(strDir)))
        names.insert(PathText(entry.path().filename()));
    return names;
}

std::string MakeExampleTree(CTempTree& tree) {
    tree.AddFile("x/sub/deep/d.txt", 9);
    tree.AddFile("x/sub/c.txt", 7);
    tree.AddFile("x/a.txt", 120);
    tree.AddFile("x/b.txt", 5);
    return tree.Path("x");
}
