#pragma once

#include <vector>

#include "model/KWLItem.h"

namespace output_detail {

// Visits the directory chain that starts at pFirst in listing order: each directory, then
// (when bDescend) its subdirectories with everything below them, then its own files.
// fnDir(dir, level) and fnFile(file, level) get the nesting level below the chain, 0 for the
// chain's own directories. An explicit stack instead of recursion: neither a deep tree nor a
// long sibling chain can exhaust the call stack.
template <class DirFn, class FileFn>
void WalkChain(const CDirInformation* pFirst, bool bDescend, DirFn&& fnDir, FileFn&& fnFile) {
    // Directories whose subtree is being walked; their files come when it is done.
    std::vector<const CDirInformation*> open;
    const CDirInformation* pDir = pFirst;
    for (;;) {
        if (pDir != nullptr) {
            const int nLevel = static_cast<int>(open.size());
            fnDir(*pDir, nLevel);
            if (bDescend && pDir->m_pFirstSubDir != nullptr) {
                open.push_back(pDir);
                pDir = pDir->m_pFirstSubDir;
                continue;
            }
            for (const CFileInformation* pFile = pDir->m_pFirstFile; pFile != nullptr;
                 pFile = pFile->m_pNextFile)
                fnFile(*pFile, nLevel + 1);
            pDir = pDir->m_pNextDir;
            continue;
        }
        if (open.empty())
            return;
        const CDirInformation* pDone = open.back();
        open.pop_back();
        const int nLevel = static_cast<int>(open.size());
        for (const CFileInformation* pFile = pDone->m_pFirstFile; pFile != nullptr;
             pFile = pFile->m_pNextFile)
            fnFile(*pFile, nLevel + 1);
        pDir = pDone->m_pNextDir;
    }
}

} // namespace output_detail
