#include "output/HtmlLayout.h"

#include <algorithm>
#include <cstddef>

SHtmlLayout MeasureHtmlLayout(const CDirInformation& top, int nFileColumns, int nDirColumns) {
    SHtmlLayout layout;
    // Directories whose subdirectories are being measured; each learns its row count when
    // the last of them is done.
    struct SFrame {
        const CDirInformation* pDir;
        const CDirInformation* pNextSubDir;
        int nDepth;
        std::size_t nSpan; // its entry in rowSpans, when it has subdirectories
        int nRows;         // rows of the subdirectories measured so far
    };
    std::vector<SFrame> stack;
    const auto fnOpen = [&](const CDirInformation& dir, int nDepth) {
        if (dir.m_pFirstFile != nullptr)
            layout.nColumns = std::max(layout.nColumns, nDepth + nFileColumns);
        const std::size_t nSpan = layout.rowSpans.size();
        if (dir.m_pFirstSubDir != nullptr)
            layout.rowSpans.push_back(0);
        stack.push_back({&dir, dir.m_pFirstSubDir, nDepth, nSpan, 0});
    };
    fnOpen(top, 0);
    while (!stack.empty()) {
        SFrame& frame = stack.back();
        if (frame.pNextSubDir != nullptr) {
            const CDirInformation* pSub = frame.pNextSubDir;
            frame.pNextSubDir = pSub->m_pNextDir;
            fnOpen(*pSub, frame.nDepth + 1); // frame is invalid from here
            continue;
        }
        const CDirInformation& dir = *frame.pDir;
        const int nRows = frame.nRows + (dir.m_pFirstFile != nullptr ? 1 : 0);
        if (dir.m_pFirstSubDir != nullptr) {
            layout.rowSpans[frame.nSpan] = nRows;
            layout.nColumns = std::max(layout.nColumns, frame.nDepth + nDirColumns);
        }
        stack.pop_back();
        if (!stack.empty())
            stack.back().nRows += 1 + nRows; // its own row, then its contents
    }
    return layout;
}
