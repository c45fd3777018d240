#pragma once

#include <string>
#include <vector>

// What a listing leaves out, as the user asked for it. All off by default.
struct SFilterSettings {
    std::vector<std::string> patterns; // exact bytes, in the order given
    bool bIgnoreCase = false;          // ASCII letters, as the name order folds them
    bool bNoHidden = false;            // names that start with "."
    bool bOneFileSystem = false;       // directories on another file system are not entered
    int nMaxDepth = -1;                // levels listed below DIRECTORY; -1: no limit

    bool IsEmpty() const {
        return patterns.empty() && !bNoHidden && !bOneFileSystem && nMaxDepth < 0;
    }
    bool operator==(const SFilterSettings&) const = default;
};
