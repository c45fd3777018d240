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

void WriteTextExport(COutputSink& sink, CKWLFormat& format, const CDirInformation* pRoot,
                     const std::string& strDirectory, const std::string& strHeadingWord,
                     const std::string& strSeparator) {
    std::string& strText = sink.Text();
    strText += strHeadingWord;
    strText += strDirectory;
    strText += ":\n";
    if (pRoot == nullptr)
        return;
    CSeparatorRestore restore(format, strSeparator);
    const output_detail::CLineRenderer lines(sink, format, "\n", 0, false);
    output_detail::WalkTree(*pRoot, true, lines, lines);
}

std::string BuildTextExport(CKWLFormat& format, const CDirInformation* pRoot,
                            const std::string& strDirectory, const std::string& strHeadingWord,
                            const std::string& strSeparator, SWorkProgress* pProgress) {
    return RenderToString(pProgress, [&](COutputSink& sink) {
        WriteTextExport(sink, format, pRoot, strDirectory, strHeadingWord, strSeparator);
    });
}

void ListDirectoriesText(const CKWLFormat& format, const CDirInformation* pDir,
                         std::string& strText) {
    COutputSink sink(strText);
    const output_detail::CLineRenderer lines(sink, format, "\n", 0, false);
    output_detail::WalkChain(pDir, true, lines, lines);
}

bool IsSeparatorAllowed(std::string_view strSeparator) {
    if (strSeparator == "\t")
        return true;
    // Names get the same treatment, so a separator never holds what a name cannot.
    return IsValidUtf8(strSeparator) && Utf8Length(strSeparator) == 1 && strSeparator[0] != '\0' &&
           SanitizeName(strSeparator) == strSeparator;
}
