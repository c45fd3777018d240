#include "output/OutputFile.h"

#include "output/OutputSink.h"
#include "platform/AtomicFile.h"

namespace {

bool SaveWith(const std::string& strPath, std::string_view strText,
              bool (*fnWrite)(int, std::string_view)) {
    CAtomicFile file;
    // The file removes its temporary copy itself when it is not committed.
    return file.Open(strPath) && fnWrite(file.GetFd(), strText) && file.Commit();
}

} // namespace

bool WriteWithCrLf(int nFd, std::string_view strText) {
    COutputSink sink(nFd, true);
    sink.Append(strText);
    return sink.Finish();
}

bool SaveTextToFile(const std::string& strPath, std::string_view strText) {
    return SaveWith(strPath, strText, &WriteWithCrLf);
}

bool SaveBytesToFile(const std::string& strPath, std::string_view strBytes) {
    return SaveWith(strPath, strBytes, &WriteAll);
}
