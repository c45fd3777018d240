#pragma once

#include <string>
#include <string_view>

#include "format/KWLFormat.h"
#include "model/KWLItem.h"
#include "platform/WorkProgress.h"
#include "output/OutputSink.h"

// How the text export writes its fields unless told otherwise: quoted where they hold the
// separator or a double quote (RFC 4180), and never as a formula that a spreadsheet would run
// (a name like "=HYPERLINK(...)" stays text).
inline constexpr EFieldQuoting kTextExportQuoting = EFieldQuoting::Rfc4180InertFormulas;

// The text-file export: strHeadingWord + strDirectory + ":" + LF, then LF + line for every
// item of the tree in listing order (ListDirectoriesText on the root's subdirectories, then
// the root's files), all at depth 0 with strSeparator between columns. Every field (a column,
// or the heading) is quoted as kTextExportQuoting says, so that spreadsheets keep the columns
// apart and run no name as a formula; every other field is written as it is. Everything the
// tree holds is exported; the recursive option plays no part. A null root gives the heading
// only. The result tells whether a keyword was skipped. With pProgress, the items rendered are
// added to its count as the work goes on, and the work stops early once it is cancelled (the
// text is then incomplete).
SRenderedText BuildTextExport(const CKWLFormat& format, const CDirInformation* pRoot,
                              const std::string& strDirectory, const std::string& strHeadingWord,
                              const std::string& strSeparator, SWorkProgress* pProgress = nullptr);

// The same text into sink, as it is rendered, its fields quoted as eQuoting says (for programs
// that want the names as they are: EFieldQuoting::Rfc4180). Stops early when the sink says so;
// the caller finishes the sink.
SRenderResult WriteTextExport(COutputSink& sink, const CKWLFormat& format,
                              const CDirInformation* pRoot, const std::string& strDirectory,
                              const std::string& strHeadingWord, const std::string& strSeparator,
                              EFieldQuoting eQuoting = kTextExportQuoting);

// Appends LF + line (depth 0, strSeparator between columns) for every directory of the chain
// that starts at pDir, each followed by everything below it, then by its files. A null pDir
// appends nothing.
SRenderResult ListDirectoriesText(const CKWLFormat& format, const CDirInformation* pDir,
                                  std::string_view strSeparator, std::string& strText,
                                  EFieldQuoting eQuoting = kTextExportQuoting);

// Whether strSeparator can stand between the columns of the text export: exactly one
// character, however many bytes it takes, that is a tab or no control character (a line
// break or another control character would break the rows), and not the double quote.
bool IsSeparatorAllowed(std::string_view strSeparator);
