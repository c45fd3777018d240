// kwl-list: the listing, text export and HTML export of the desktop program, from a shell.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "CommandLine.h"
#include "ScanMessages.h"
#include "format/KWLFormat.h"
#include "model/DirectoryScanner.h"
#include "output/HtmlExport.h"
#include "output/ListingBuilder.h"
#include "output/OutputFile.h"
#include "output/TextExport.h"
#include "ui/Language.h"

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

// Catalogue entries used here.
constexpr int kTextHeading = 18;
constexpr int kTextDirectory = 22;
constexpr int kTextFormatInvalid = 41;
constexpr int kTextFieldInvalid = 43;
constexpr int kTextHtmlTitle = 48;
constexpr int kTextWriteError = 49;

void PrintError(const std::string& strMessage) {
    std::fprintf(stderr, "kwl-list: %s\n", strMessage.c_str());
}

// The count overwrites itself on one terminal line and is wiped when the scan ends.
void ShowProgress(std::uint64_t nEntries, bool bFinal) {
    if (bFinal)
        std::fputs("\r\033[K", stderr);
    else
        std::fprintf(stderr, "\r%llu entries read", static_cast<unsigned long long>(nEntries));
    std::fflush(stderr);
}

// After the listing, as GNU find does: one line per directory that could not be read
// completely. True when there was any.
bool PrintScanErrors(const CDirectoryScanner& scanner, int nLanguage) {
    for (const SScanError& error : scanner.GetScanErrors())
        PrintError(ScanErrorMessage(nLanguage, error.strPath, std::strerror(error.nErrno)));
    return !scanner.GetScanErrors().empty();
}

bool WriteResult(const SCommandLine& cmd, const std::string& strText) {
    // The listing already holds CR LF; the exports are built with LF and stored with CR LF.
    const bool bConvert = cmd.eExport != EExportKind::Listing;
    if (cmd.bHasOutput)
        return bConvert ? SaveTextToFile(cmd.strOutput, strText)
                        : SaveBytesToFile(cmd.strOutput, strText);
    return bConvert ? WriteWithCrLf(STDOUT_FILENO, strText) : WriteAll(STDOUT_FILENO, strText);
}

int Run(const SCommandLine& cmd) {
    const CLanguage language(cmd.nLanguage);
    CKWLFormat format;
    if (!format.Validate(cmd.strFormat)) {
        PrintError(language.GetText(kTextFormatInvalid));
        return kExitUsage;
    }

    // The scan moves the working directory; a relative output name means the caller's one.
    const int nStartDir = open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    CKWLItemFactory factory;
    CKWLOption option;
    option.m_bRecursive = cmd.bRecursive;
    CDirectoryScanner scanner(factory, option);
    scanner.SetThreads(cmd.nThreads);
    const bool bShowProgress = cmd.bProgress && isatty(STDERR_FILENO);
    if (bShowProgress) {
        scanner.SetProgress([](std::uint64_t n) { ShowProgress(n, false); });
    }
    CDirInformation* pRoot = nullptr;
    const bool bOpened = scanner.RebuildTree(pRoot, cmd.strDirectory);
    const int nScanErrno = scanner.GetOpenError();
    if (bShowProgress)
        ShowProgress(scanner.GetEntriesRead(), true);
    if (nStartDir >= 0) {
        if (fchdir(nStartDir) != 0) {
            // Reported below if the output cannot be opened.
        }
        close(nStartDir);
    }
    if (!bOpened) {
        PrintError(cmd.strDirectory + ": " +
                   (nScanErrno != 0 ? std::strerror(nScanErrno) : "cannot be read"));
        factory.RecycleTree(pRoot);
        return kExitFailure;
    }

    std::string strText;
    switch (cmd.eExport) {
    case EExportKind::Listing:
        strText = BuildListing(format, pRoot, cmd.strDirectory, language.GetText(kTextHeading),
                               cmd.bRecursive);
        break;
    case EExportKind::Text:
        strText = BuildTextExport(format, pRoot, cmd.strDirectory, language.GetText(kTextHeading),
                                  cmd.strSeparator);
        break;
    case EExportKind::Html:
        strText =
            BuildHtmlDocument(format, pRoot, cmd.strDirectory, language.GetText(kTextHtmlTitle),
                              language.GetText(kTextDirectory));
        break;
    }
    // No teardown of the tree: the factory releases its node memory whole when it goes.

    if (format.HasUndefinedField())
        PrintError(language.GetText(kTextFieldInvalid));

    if (!WriteResult(cmd, strText)) {
        const int nErr = errno;
        std::string strMessage = language.GetText(kTextWriteError);
        if (nErr != 0)
            strMessage += std::string(" (") + (cmd.bHasOutput ? cmd.strOutput + ": " : "") +
                          std::strerror(nErr) + ")";
        PrintError(strMessage);
        PrintScanErrors(scanner, cmd.nLanguage);
        return kExitFailure;
    }
    return PrintScanErrors(scanner, cmd.nLanguage) ? kExitFailure : kExitOk;
}

} // namespace

int main(int argc, char** argv) {
    SCommandLine cmd;
    std::string strError;
    if (!ParseCommandLine(argc, argv, cmd, strError)) {
        PrintError(strError);
        std::fputs("Try 'kwl-list --help' for more information.\n", stderr);
        return kExitUsage;
    }
    if (cmd.bHelp) {
        std::fputs(UsageText().c_str(), stdout);
        return kExitOk;
    }
    if (cmd.bVersion) {
        std::printf("kwl-list %s\n", KWL_VERSION);
        return kExitOk;
    }
    return Run(cmd);
}
