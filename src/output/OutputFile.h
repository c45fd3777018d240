#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "output/WriteResult.h"
#include "platform/WorkProgress.h"

class COutputSink;

// Writes strText to nFd with every LF stored as CR LF (the exports' files hold CR LF line
// ends), converting piecewise so no copy of the whole text is made.
SWriteResult WriteWithCrLf(int nFd, std::string_view strText);

// Replaces strPath with strText, written as WriteWithCrLf does. The text goes into a temporary
// file beside the target that is renamed over it only when all of it is on disk, so a failed
// save (full disk, no permission, ...) leaves an existing file as it was and no new file
// behind. A link is followed, an existing file keeps its permissions; CAtomicFile has the
// details. A SIGPIPE from a pipe target is the caller's to handle.
SWriteResult SaveTextToFile(const std::string& strPath, std::string_view strText);

// As SaveTextToFile, but the bytes are stored unchanged (for texts that already hold CR LF).
SWriteResult SaveBytesToFile(const std::string& strPath, std::string_view strBytes);

// Replaces strPath, as SaveTextToFile does, with what fnWrite renders into a sink, written as
// it is rendered (bCrLf: every LF stored as CR LF), so that no copy of the whole text is made.
// With pProgress the items are counted there, and a cancel leaves the target as it was.
SWriteResult SaveRenderedToFile(const std::string& strPath, bool bCrLf, SWorkProgress* pProgress,
                                const std::function<void(COutputSink&)>& fnWrite);
