#pragma once

#include <string>
#include <string_view>

#include "format/KWLFormat.h"
#include "model/KWLItem.h"
#include "platform/WorkProgress.h"
#include "output/OutputSink.h"

// strText with "&", "<", ">" and the double quote written as &amp; &lt; &gt; &quot;.
std::string EscapeHtml(std::string_view strText);

// Index of the last occurrence of strFind in str, -1 when there is none.
int FindLast(std::string_view str, std::string_view strFind);

// The HTML page of the tree: a title and heading naming strDirectory (strTitleWord /
// strDirectoryWord in front, e.g. "listing of" and "Directory") and one table that draws the
// tree, with LF line ends and no final line end. Names and the path are HTML-escaped; the
// page declares UTF-8. Measures the tree first (MeasureHtmlLayout); the tree is only read.
// A null root gives a table without rows. The result tells whether a keyword was skipped.
// With pProgress, the directories and files rendered are added to its count as the work goes
// on, and the work stops early once it is cancelled (the page is then incomplete).
SRenderedText BuildHtmlDocument(const CKWLFormat& format, const CDirInformation* pRoot,
                                const std::string& strDirectory, const std::string& strTitleWord,
                                const std::string& strDirectoryWord,
                                SWorkProgress* pProgress = nullptr);

// The same page into sink, as it is rendered. Stops early when the sink says so; the caller
// finishes the sink.
SRenderResult WriteHtmlDocument(COutputSink& sink, const CKWLFormat& format,
                                const CDirInformation* pRoot, const std::string& strDirectory,
                                const std::string& strTitleWord,
                                const std::string& strDirectoryWord);

// Writes the table rows for the contents of pDir into sink: each subdirectory's shaded row
// followed by the rows of its contents, then one row for pDir's files. nColumns is the width
// left at this level; bFirstRow puts the indentation cell into the first row written. Measures
// pDir's subtree for the spans. Tabs that the eleventh cell of a file row keeps are written
// as cell breaks already. A null pDir writes nothing. Stops early when the sink says so.
SRenderResult ListDirectoriesHtml(const CKWLFormat& format, const CDirInformation* pDir,
                                  COutputSink& sink, int nColumns, bool bFirstRow);
