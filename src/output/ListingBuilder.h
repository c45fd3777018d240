#pragma once

#include <cstddef>
#include <string>

#include "format/KWLFormat.h"
#include "model/KWLItem.h"
#include "platform/WorkProgress.h"
#include "output/OutputSink.h"

// The complete listing text, as the clipboard receives it: strHeadingWord + strDirectory +
// ":" + CR LF, then CR LF + line for every listed item (the root's subdirectories via
// ListDirectories at depth 0, then the root's files at depth 0). Lines are indented by depth
// and have a tab between columns. A null root gives the heading only. The result tells whether
// a keyword was skipped; reporting it is the caller's. With pProgress, the items rendered are
// added to its count as the work goes on, and the work stops early once it is cancelled (the
// text is then incomplete).
SRenderedText BuildListing(const CKWLFormat& format, const CDirInformation* pRoot,
                           const std::string& strDirectory, const std::string& strHeadingWord,
                           bool bRecursive, SWorkProgress* pProgress = nullptr);

// The first nKeep bytes of that text, and its whole length in bytes (so that a later
// rendering can reserve its room): the whole listing is rendered (for the result, the progress
// and the cancel) but only its beginning is kept, for a preview of a listing too large to hold.
struct SListingStart : SRenderedText {
    std::size_t nTotalBytes = 0;
};
SListingStart BuildListingStart(const CKWLFormat& format, const CDirInformation* pRoot,
                                const std::string& strDirectory, const std::string& strHeadingWord,
                                bool bRecursive, std::size_t nKeep,
                                SWorkProgress* pProgress = nullptr);

// The same text into sink, as it is rendered. Stops early when the sink says so; the caller
// finishes the sink.
SRenderResult WriteListing(COutputSink& sink, const CKWLFormat& format,
                           const CDirInformation* pRoot, const std::string& strDirectory,
                           const std::string& strHeadingWord, bool bRecursive);

// Appends CR LF + line for every directory of the chain that starts at pDir (at nDepth), each
// followed by its subdirectories' lines when bRecursive, then by its files at nDepth + 1.
// A null pDir appends nothing.
SRenderResult ListDirectories(const CKWLFormat& format, const CDirInformation* pDir, int nDepth,
                              bool bRecursive, std::string& strOutput);
