#include "output/TextExport.h"

#include <utility>

#include "output/TreeWalk.h"
#include "platform/Encoding.h"

namespace {

// Puts the engine's separator back however the export ends: every other user renders with
// the tab.
class CSeparatorRestore {
public:
    CSeparatorRestore(CKWLFormat& format, const std::string& strSeparator)
        : m_format(format), m_strPrevious(format.SetSeparator(strSeparator)) {}
    ~CSeparatorRestore() { m_format.SetSeparator(std::move(m_strPrevious)); }
    CSeparatorRestore(const CSeparatorRestore&) = delete;
    CSeparatorRestore& operator=(const CSeparatorRestore&) = delete;

private:
    CKWLFormat& m_format;
    std::string m_strPrevious;
};

} // namespace

std::string BuildTextExport(CKWLFormat& format, const CDirInformation* pRoot,
                            const std::string& strDirectory, const std::string& strHeadingWord,
                            const std::string& strSeparator) {
    std::string strText;
    strText += strHeadingWord;
    strText += strDirectory;
    strText += ":\n";
    if (pRoot == nullptr)
        return strText;
    CSeparatorRestore restore(format, strSeparator);
    ListDirectoriesText(format, pRoot->m_pFirstSubDir, strText);
    for (const CFileInformation* pFile = pRoot->m_pFirstFile; pFile != nullptr;
         pFile = pFile->m_pNextFile) {
        strText += '\n';
        format.RenderInto(pFile, 0, strText);
    }
    return strText;
}

void ListDirectoriesText(const CKWLFormat& format, const CDirInformation* pDir,
                         std::string& strText) {
    output_detail::WalkChain(
        pDir, true,
        [&](const CDirInformation& dir, int) {
            strText += '\n';
            format.RenderInto(&dir, 0, strText);
        },
        [&](const CFileInformation& file, int) {
            strText += '\n';
            format.RenderInto(&file, 0, strText);
        });
}

bool IsSeparatorAllowed(std::string_view strSeparator) {
    if (strSeparator == "\t")
        return true;
    // Names get the same treatment, so a separator never holds what a name cannot.
    return IsValidUtf8(strSeparator) && Utf8Length(strSeparator) == 1 && strSeparator[0] != '\0' &&
           SanitizeName(strSeparator) == strSeparator;
}
