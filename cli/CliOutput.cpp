#include "CliOutput.h"

#include <cerrno>
#include <cstdio>

#include "ScanMessages.h"
#include "lang/ErrorReason.h"
#include "lang/TextId.h"
#include "platform/Console.h"
#include "platform/Encoding.h"

namespace {

constexpr int kStandardOutput = 1;
constexpr int kStandardError = 2;

} // namespace

void PrintError(const std::string& strMessage) {
    std::fprintf(stderr, "kwl-list: %s\n", SanitizeName(strMessage).c_str());
}

void ShowProgress(std::uint64_t nEntries, std::uint64_t nBytesHashed, bool bFinal) {
    if (bFinal)
        std::fputs("\r\033[K", stderr);
    else if (nBytesHashed == 0)
        std::fprintf(stderr, "\r%llu entries read", static_cast<unsigned long long>(nEntries));
    else
        std::fprintf(stderr, "\r%llu entries read, %llu bytes hashed",
                     static_cast<unsigned long long>(nEntries),
                     static_cast<unsigned long long>(nBytesHashed));
    std::fflush(stderr);
}

bool PrintScanErrors(const std::vector<SScanError>& errors, ELanguage eLanguage,
                     const std::string& strPrefix) {
    for (const SScanError& error : errors)
        PrintError(strPrefix +
                   ScanErrorMessage(eLanguage, error.strPath, ErrorReason(error.nErrno, eLanguage)));
    return !errors.empty();
}

void PrintWriteError(const SCommandLine& cmd, const CLanguage& language, int nErrno) {
    std::string strMessage = language.GetText(kTextWriteError);
    if (nErrno != 0)
        strMessage += std::string(" (") + (cmd.bHasOutput ? cmd.strOutput + ": " : "") +
                      ErrorReason(nErrno, language.GetLanguage()) + ")";
    PrintError(strMessage);
}

bool RunScan(const SCommandLine& cmd, CDirectoryScanner& scanner, CItemTree& tree) {
    scanner.SetThreads(cmd.nThreads);
    const bool bShowProgress = cmd.bProgress && IsTerminal(kStandardError);
    if (bShowProgress) {
        scanner.SetProgress(
            [&scanner](std::uint64_t n) { ShowProgress(n, scanner.GetBytesHashed(), false); });
    }
    const bool bOpened = scanner.RebuildTree(tree, cmd.strDirectory);
    if (bShowProgress)
        ShowProgress(scanner.GetEntriesRead(), 0, true);
    if (!bOpened) {
        const int nErrno = scanner.GetOpenError();
        PrintError(cmd.strDirectory + ": " +
                   (nErrno != 0 ? ErrorReason(nErrno, cmd.eLanguage) : "cannot be read"));
    }
    return bOpened;
}

std::optional<CEntryFilter> CompileFilter(const SFilterSettings& settings) {
    std::string strError;
    std::optional<CEntryFilter> filter = CEntryFilter::Compile(settings, strError);
    if (!filter)
        PrintError(strError);
    return filter;
}

void ApplyFilters(const SFilterSettings& settings, const CEntryFilter& filter,
                  CDirectoryScanner& scanner) {
    scanner.SetFilter(&filter);
    scanner.SetOneFileSystem(settings.bOneFileSystem);
}

SWriteResult WriteToOutput(const SCommandLine& cmd, CAtomicFile& outputFile, bool bCrLf,
                           const std::function<void(COutputSink&)>& fnWrite) {
    if (cmd.bHasOutput && !outputFile.Create())
        return SWriteResult::Failure(errno);
    COutputSink sink(cmd.bHasOutput ? outputFile.GetFd() : kStandardOutput, bCrLf);
    fnWrite(sink);
    SWriteResult written = sink.Finish();
    if (written.IsWritten() && cmd.bHasOutput && !outputFile.Commit())
        written = SWriteResult::Failure(errno);
    return written;
}
