#include "output/TextExport.h"

#include "output/TreeLines.h"
#include "output/TreeWalk.h"
#include "platform/Encoding.h"

SRenderResult WriteTextExport(COutputSink& sink, const CKWLFormat& format,
                              const CDirInformation* pRoot, const std::string& strDirectory,
                              const std::string& strHeadingWord, const std::string& strSeparator,
                              EFieldQuoting eQuoting) {
    // The heading is a row of one field, quoted by the same rule as the others.
    std::string& strText = sink.Text();
    const std::size_t nHeadingStart = strText.size();
    strText += strHeadingWord;
    strText += strDirectory;
    strText += ':';
    QuoteField(strText, nHeadingStart, strSeparator, eQuoting);
    strText += '\n';
    if (pRoot == nullptr)
        return {};
    return output_detail::WriteTreeLines(sink, format, *pRoot, true,
                                         {"\n", strSeparator, 0, false, eQuoting});
}

SRenderedText BuildTextExport(const CKWLFormat& format, const CDirInformation* pRoot,
                              const std::string& strDirectory, const std::string& strHeadingWord,
                              const std::string& strSeparator, SWorkProgress* pProgress) {
    return RenderToString(pProgress, [&](COutputSink& sink) {
        return WriteTextExport(sink, format, pRoot, strDirectory, strHeadingWord, strSeparator);
    });
}

SRenderResult ListDirectoriesText(const CKWLFormat& format, const CDirInformation* pDir,
                                  std::string_view strSeparator, std::string& strText,
                                  EFieldQuoting eQuoting) {
    COutputSink sink(strText);
    output_detail::CLineRenderer lines(sink, format, "\n", strSeparator, 0, false, eQuoting);
    output_detail::WalkChain(pDir, true, lines, lines);
    return lines.Result();
}

bool IsSeparatorAllowed(std::string_view strSeparator) {
    if (strSeparator == "\t")
        return true;
    // The double quote encloses the fields that need it: as the separator as well, no reader
    // could tell where a field ends.
    if (strSeparator == "\"")
        return false;
    // Names get the same treatment, so a separator never holds what a name cannot.
    return IsValidUtf8(strSeparator) && Utf8Length(strSeparator) == 1 && strSeparator[0] != '\0' &&
           SanitizeName(strSeparator) == strSeparator;
}
