#include "output/ListingBuilder.h"

#include "output/TreeLines.h"
#include "output/TreeWalk.h"

SRenderResult WriteListing(COutputSink& sink, const CKWLFormat& format,
                           const CDirInformation* pRoot, const std::string& strDirectory,
                           const std::string& strHeadingWord, bool bRecursive) {
    std::string& strOutput = sink.Text();
    strOutput += strHeadingWord;
    strOutput += strDirectory;
    strOutput += ":\r\n";
    if (pRoot == nullptr)
        return {};
    return output_detail::WriteTreeLines(sink, format, *pRoot, bRecursive,
                                         {"\r\n", kTabSeparator, 0, true});
}

SRenderedText BuildListing(const CKWLFormat& format, const CDirInformation* pRoot,
                           const std::string& strDirectory, const std::string& strHeadingWord,
                           bool bRecursive, SWorkProgress* pProgress) {
    return RenderToString(pProgress, [&](COutputSink& sink) {
        return WriteListing(sink, format, pRoot, strDirectory, strHeadingWord, bRecursive);
    });
}

SListingStart BuildListingStart(const CKWLFormat& format, const CDirInformation* pRoot,
                                const std::string& strDirectory, const std::string& strHeadingWord,
                                bool bRecursive, std::size_t nKeep, SWorkProgress* pProgress) {
    SListingStart start;
    COutputSink sink(
        [&](std::string_view strPiece) {
            start.nTotalBytes += strPiece.size();
            if (start.strText.size() < nKeep)
                start.strText.append(strPiece.substr(0, nKeep - start.strText.size()));
        },
        pProgress);
    static_cast<SRenderResult&>(start) =
        WriteListing(sink, format, pRoot, strDirectory, strHeadingWord, bRecursive);
    sink.Finish();
    return start;
}

SRenderResult ListDirectories(const CKWLFormat& format, const CDirInformation* pDir, int nDepth,
                              bool bRecursive, std::string& strOutput) {
    COutputSink sink(strOutput);
    output_detail::CLineRenderer lines(sink, format, "\r\n", kTabSeparator, nDepth, true);
    output_detail::WalkChain(pDir, bRecursive, lines, lines);
    return lines.Result();
}
