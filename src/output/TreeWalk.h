#pragma once

#include <string_view>
#include <vector>

#include "format/KWLFormat.h"
#include "model/KWLItem.h"
#include "output/OutputSink.h"

namespace output_detail {

// Visits the directory chain that starts at pFirst in listing order: each directory, then
// (when bDescend) its subdirectories with everything below them, then its own files.
// fnDir(dir, level) and fnFile(file, level) get the nesting level below the chain, 0 for the
// chain's own directories, and return false to end the walk early (which WalkChain then
// returns). An explicit stack instead of recursion: neither a deep tree nor a long sibling
// chain can exhaust the call stack.
template <class DirFn, class FileFn>
bool WalkChain(const CDirInformation* pFirst, bool bDescend, DirFn&& fnDir, FileFn&& fnFile) {
    // Directories whose subtree is being walked; their files come when it is done.
    std::vector<const CDirInformation*> open;
    const CDirInformation* pDir = pFirst;
    for (;;) {
        if (pDir != nullptr) {
            const int nLevel = static_cast<int>(open.size());
            if (!fnDir(*pDir, nLevel))
                return false;
            if (bDescend && pDir->m_pFirstSubDir != nullptr) {
                open.push_back(pDir);
                pDir = pDir->m_pFirstSubDir;
                continue;
            }
            for (const CFileInformation* pFile = pDir->m_pFirstFile; pFile != nullptr;
                 pFile = pFile->m_pNextFile) {
                if (!fnFile(*pFile, nLevel + 1))
                    return false;
            }
            pDir = pDir->m_pNextDir;
            continue;
        }
        if (open.empty())
            return true;
        const CDirInformation* pDone = open.back();
        open.pop_back();
        const int nLevel = static_cast<int>(open.size());
        for (const CFileInformation* pFile = pDone->m_pFirstFile; pFile != nullptr;
             pFile = pFile->m_pNextFile) {
            if (!fnFile(*pFile, nLevel + 1))
                return false;
        }
        pDir = pDone->m_pNextDir;
    }
}

// Visits what a listing of root holds: the root's subdirectory chain as WalkChain does, then
// the root's own files at level 0. The root itself is not visited.
template <class DirFn, class FileFn>
bool WalkTree(const CDirInformation& root, bool bDescend, DirFn&& fnDir, FileFn&& fnFile) {
    if (!WalkChain(root.m_pFirstSubDir, bDescend, fnDir, fnFile))
        return false;
    for (const CFileInformation* pFile = root.m_pFirstFile; pFile != nullptr;
         pFile = pFile->m_pNextFile) {
        if (!fnFile(*pFile, 0))
            return false;
    }
    return true;
}

// How the line-per-item outputs write each item: behind strLineEnd, indented by nDepth plus
// the walk's level (or not at all when bIndent is false), columns apart by strSeparator.
struct SLineStyle {
    std::string_view strLineEnd;
    std::string_view strSeparator;
    int nDepth = 0;
    bool bIndent = true;
    EFieldQuoting eQuoting = EFieldQuoting::None;
};

// A walk's visitor for the line-per-item outputs: renders the item into sink behind
// strLineEnd, at nDepth plus the walk's level, or at depth 0 throughout when bIndent is
// false, with strSeparator between columns, quoted as eQuoting says. False when the sink
// asked to stop. Result() tells what rendering reported over all the lines.
class CLineRenderer {
public:
    CLineRenderer(COutputSink& sink, const CKWLFormat& format, std::string_view strLineEnd,
                  std::string_view strSeparator, int nDepth, bool bIndent,
                  EFieldQuoting eQuoting = EFieldQuoting::None)
        : m_sink(sink), m_format(format), m_strLineEnd(strLineEnd), m_strSeparator(strSeparator),
          m_nDepth(nDepth), m_bIndent(bIndent), m_eQuoting(eQuoting) {}
    CLineRenderer(COutputSink& sink, const CKWLFormat& format, const SLineStyle& style)
        : CLineRenderer(sink, format, style.strLineEnd, style.strSeparator, style.nDepth,
                        style.bIndent, style.eQuoting) {}

    bool operator()(const CKWLItem& item, int nLevel) {
        std::string& strOut = m_sink.Text();
        strOut += m_strLineEnd;
        m_result |= m_format.RenderInto(&item, m_bIndent ? m_nDepth + nLevel : 0, strOut,
                                        m_strSeparator, m_eQuoting);
        return m_sink.ItemDone();
    }

    SRenderResult Result() const { return m_result; }

private:
    COutputSink& m_sink;
    const CKWLFormat& m_format;
    std::string_view m_strLineEnd;
    std::string_view m_strSeparator;
    int m_nDepth;
    bool m_bIndent;
    EFieldQuoting m_eQuoting;
    SRenderResult m_result;
};

} // namespace output_detail
