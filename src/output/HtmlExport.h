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
// page declares UTF-8. Measures the tree first, which writes the layout counts into every
// directory node. A null root gives a table without rows. Renders with the engine's current
// separator, which must be the tab. With pProgress, the directories and files rendered are
// added to its count as the work goes on, and the work stops early once it is cancelled (the
// page is then incomplete).
std::string BuildHtmlDocument(const CKWLFormat& format, CDirInformation* pRoot,
                              const std::string& strDirectory, const std::string& strTitleWord,
                              const std::string& strDirectoryWord,
                              SWorkProgress* pProgress = nullptr);

// The same page into sink, as it is rendered. Stops early when the sink says so; the caller
// finishes the sink.
void WriteHtmlDocument(COutputSink& sink, const CKWLFormat& format, CDirInformation* pRoot,
                       const std::string& strDirectory, const std::string& strTitleWord,
                       const std::string& strDirectoryWord);

// Appends the table rows for the contents of pDir: each subdirectory's shaded row followed by
// the rows of its contents, then one row for pDir's files. nColumns is the width left at this
// level; bFirstRow puts the indentation cell into the first row appended. Needs the layout
// counts of a preceding Measure. Tabs that the eleventh cell of a file row keeps are written
// as cell breaks already. A null pDir appends nothing.
void ListDirectoriesHtml(const CKWLFormat& format, const CDirInformation* pDir,
                         std::string& strHtml, int nColumns, bool bFirstRow);
// The same rows into sink; false when the sink asked to stop.
bool ListDirectoriesHtml(const CKWLFormat& format, const CDirInformation* pDir, COutputSink& sink,
                         int nColumns, bool bFirstRow);
