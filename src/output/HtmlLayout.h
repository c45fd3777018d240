#pragma once

#include <vector>

#include "model/KWLItem.h"

// How the HTML export's table lays out a subtree, measured before its first row is written:
// an indentation cell beside a directory's contents spans all their rows, and every row
// reaches to the table's right edge.
struct SHtmlLayout {
    // The table's width: the most cells a row needs, one indentation cell per level included.
    int nColumns = 0;
    // For every directory that has subdirectories, in the order the rows visit them (the top
    // directory first): how many rows its contents take, its subdirectories' rows and those
    // below them and one row per directory that holds files, its own included.
    std::vector<int> rowSpans;
};

// Measures the subtree of top, which is at depth 0 (its siblings play no part), for compiled
// formats of nFileColumns and nDirColumns columns. Deep trees need no call stack.
SHtmlLayout MeasureHtmlLayout(const CDirInformation& top, int nFileColumns, int nDirColumns);
