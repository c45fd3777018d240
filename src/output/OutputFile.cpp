#include "output/OutputFile.h"

#include <cerrno>

#include "output/OutputSink.h"
#include "platform/AtomicFile.h"
#include "platform/FileWrite.h"

namespace {

SWriteResult WriteUnchanged(int nFd, std::string_view strBytes) {
    return WriteAll(nFd, strBytes) ? SWriteResult{} : SWriteResult::Failure(errno);
}

SWriteResult SaveWith(const std::string& strPath, std::string_view strText,
                      SWriteResult (*fnWrite)(int, std::string_view)) {
    // The file removes its temporary copy itself when it is not committed.
    CAtomicFile file;
    if (!file.Open(strPath))
        return SWriteResult::Failure(errno);
    const SWriteResult result = fnWrite(file.GetFd(), strText);
    if (!result.IsWritten())
        return result;
    if (!file.Commit())
        return SWriteResult::Failure(errno);
    return result;
}

} // namespace

SWriteResult WriteWithCrLf(int nFd, std::string_view strText) {
    COutputSink sink(nFd, true);
    sink.Append(strText);
    return sink.Finish();
}

SWriteResult SaveTextToFile(const std::string& strPath, std::string_view strText) {
    return SaveWith(strPath, strText, &WriteWithCrLf);
}

SWriteResult SaveBytesToFile(const std::string& strPath, std::string_view strBytes) {
    return SaveWith(strPath, strBytes, &WriteUnchanged);
}

SWriteResult SaveRenderedToFile(const std::string& strPath, bool bCrLf, SWorkProgress* pProgress,
                                const std::function<void(COutputSink&)>& fnWrite) {
    CAtomicFile file;
    if (!file.Open(strPath))
        return SWriteResult::Failure(errno);
    COutputSink sink(file.GetFd(), bCrLf, pProgress);
    fnWrite(sink);
    const SWriteResult result = sink.Finish();
    if (!result.IsWritten())
        return result;
    if (!file.Commit())
        return SWriteResult::Failure(errno);
    return result;
}
