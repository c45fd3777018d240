#include "output/ListingBuilder.h"

#include "output/TreeWalk.h"

void WriteListing(COutputSink& sink, const CKWLFormat& format, const CDirInformation* pRoot,
                  const std::string& strDirectory, const std::string& strHeadingWord,
                  bool bRecursive) {
    std::string& strOutput = sink.Text();
    strOutput += strHeadingWord;
    strOutput += strDirectory;
    strOutput += ":\r\n";
    if (pRoot == nullptr)
        return;
    const output_detail::CLineRenderer lines(sink, format, "\r\n", 0, true);
    output_detail::WalkTree(*pRoot, bRecursive, lines, lines);
}

std::string BuildListing(const CKWLFormat& format, const CDirInformation* pRoot,
                         const std::string& strDirectory, const std::string& strHeadingWord,
                         bool bRecursive, SWorkProgress* pProgress) {
    return RenderToString(pProgress, [&](COutputSink& sink) {
        WriteListing(sink, format, pRoot, strDirectory, strHeadingWord, bRecursive);
    });
}

void ListDirectories(const CKWLFormat& format, const CDirInformation* pDir, int nDepth,
                     bool bRecursive, std::string& strOutput) {
    COutputSink sink(strOutput);
    const output_detail::CLineRenderer lines(sink, format, "\r\n", nDepth, true);
    output_detail::WalkChain(pDir, bRecursive, lines, lines);
}
