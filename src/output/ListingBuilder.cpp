#include "output/ListingBuilder.h"

#include "output/TreeWalk.h"

std::string BuildListing(const CKWLFormat& format, const CDirInformation* pRoot,
                         const std::string& strDirectory, const std::string& strHeadingWord,
                         bool bRecursive) {
    std::string strOutput;
    strOutput.reserve(strHeadingWord.size() + strDirectory.size() + 3);
    strOutput += strHeadingWord;
    strOutput += strDirectory;
    strOutput += ":\r\n";
    if (pRoot == nullptr)
        return strOutput;
    ListDirectories(format, pRoot->m_pFirstSubDir, 0, bRecursive, strOutput);
    for (const CFileInformation* pFile = pRoot->m_pFirstFile; pFile != nullptr;
         pFile = pFile->m_pNextFile) {
        strOutput += "\r\n";
        format.RenderInto(pFile, 0, strOutput);
    }
    return strOutput;
}

void ListDirectories(const CKWLFormat& format, const CDirInformation* pDir, int nDepth,
                     bool bRecursive, std::string& strOutput) {
    output_detail::WalkChain(
        pDir, bRecursive,
        [&](const CDirInformation& dir, int nLevel) {
            strOutput += "\r\n";
            format.RenderInto(&dir, nDepth + nLevel, strOutput);
        },
        [&](const CFileInformation& file, int nLevel) {
            strOutput += "\r\n";
            format.RenderInto(&file, nDepth + nLevel, strOutput);
        });
}
