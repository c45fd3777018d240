// kwl-list: the listing, text export and HTML export of the desktop program, from a shell,
// the whole tree as JSON for programs, and the comparison of a tree with a snapshot of it.
#include <cerrno>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "CliOutput.h"
#include "CommandLine.h"
#include "CompareCommand.h"
#include "format/KWLFormat.h"
#include "lang/Language.h"
#include "lang/TextId.h"
#include "lang/Version.h"
#include "output/HtmlAppExport.h"
#include "output/HtmlExport.h"
#include "output/JsonExport.h"
#include "output/ListingBuilder.h"
#include "output/OutputSink.h"
#include "output/TextExport.h"
#include "platform/AtomicFile.h"
#include "platform/Console.h"
#include "platform/Encoding.h"
#include "scan/DirectoryScanner.h"

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

SJsonDocumentInfo JsonDocumentInfo(const SCommandLine& cmd, std::int64_t nScannedAt,
                                   const CDirectoryScanner& scanner) {
    SJsonDocumentInfo info;
    info.strGenerator = std::string("kwl-list ") + KWL_VERSION;
    info.strRoot = cmd.strDirectory;
    info.bRecursive = cmd.bRecursive;
    info.nScannedAt = nScannedAt;
    info.errors = scanner.GetScanErrors();
    info.filters = cmd.filters;
    return info;
}

SHtmlAppInfo HtmlAppInfo(const SCommandLine& cmd, std::int64_t nScannedAt,
                         const CDirectoryScanner& scanner) {
    SHtmlAppInfo info;
    info.strRoot = cmd.strDirectory;
    info.eLanguage = cmd.eLanguage;
    info.nScannedAt = nScannedAt;
    info.errors = scanner.GetScanErrors();
    return info;
}

// What the export needs beside the command line: the tree and what the scan reported.
struct SScanned {
    const CItemTree& tree;
    const CDirectoryScanner& scanner;
    std::int64_t nScannedAt;
};

SRenderResult WriteExport(COutputSink& sink, const SCommandLine& cmd, const CKWLFormat& format,
                          const SScanned& scanned, const std::string& strDirectory,
                          const CLanguage& language) {
    const CDirInformation* pRoot = scanned.tree.Root();
    switch (cmd.eExport) {
    case EExportKind::Listing:
        return WriteListing(sink, format, pRoot, strDirectory, language.GetText(kTextHeading),
                            cmd.bRecursive);
    case EExportKind::Text:
        if (cmd.bBom)
            sink.Text() += kUtf8ByteOrderMark;
        return WriteTextExport(sink, format, pRoot, strDirectory, language.GetText(kTextHeading),
                               cmd.strSeparator,
                               cmd.bRawFields ? EFieldQuoting::Rfc4180 : kTextExportQuoting);
    case EExportKind::Html:
        return WriteHtmlDocument(sink, format, pRoot, strDirectory,
                                 language.GetText(kTextHtmlTitle),
                                 language.GetText(kTextDirectory));
    case EExportKind::Json:
        WriteJsonExport(sink, scanned.tree,
                        JsonDocumentInfo(cmd, scanned.nScannedAt, scanned.scanner));
        return {};
    case EExportKind::HtmlApp:
        WriteHtmlAppExport(sink, pRoot,
                           HtmlAppInfo(cmd, scanned.nScannedAt, scanned.scanner));
        return {};
    }
    return {};
}

// The listing already holds CR LF; the text and HTML exports are built with LF and stored with
// CR LF; JSON and the browsable page keep LF.
bool StoresCrLf(EExportKind eExport) {
    return eExport == EExportKind::Text || eExport == EExportKind::Html;
}

int Run(const SCommandLine& cmd) {
    const CLanguage language(cmd.eLanguage);
    CKWLFormat format;
    // The JSON export and the browsable page carry every field; no format line applies.
    const bool bUsesFormat = cmd.eExport != EExportKind::Json && cmd.eExport != EExportKind::HtmlApp;
    if (bUsesFormat && !format.Validate(cmd.strFormat)) {
        PrintError(language.GetText(kTextFormatInvalid));
        return kExitUsage;
    }
    // Headings show the directory as given, except its control characters.
    const std::string strShownDir = SanitizeName(cmd.strDirectory);

    // Resolved before the scan: a target that cannot be written fails at once.
    CAtomicFile outputFile;
    if (cmd.bHasOutput && !outputFile.Resolve(cmd.strOutput)) {
        PrintWriteError(cmd, language, errno);
        return kExitFailure;
    }

    CKWLOption option;
    option.m_bRecursive = cmd.bRecursive;
    CDirectoryScanner scanner(option);
    scanner.SetReadLinkTargets(cmd.eExport == EExportKind::Json);
    scanner.SetHashAlgorithm(cmd.eHash);
    const std::optional<CEntryFilter> filter = CompileFilter(cmd.filters);
    if (!filter)
        return kExitUsage;
    ApplyFilters(cmd.filters, *filter, scanner);
    // The JSON export, the page and hashes read everything; the line outputs only what their
    // format shows.
    if (bUsesFormat && cmd.eHash == EHashAlgorithm::None) {
        scanner.SetStatFiles(format.NeedsFileStatus());
        if (!format.NeedsDirectoryEntries())
            scanner.SetReadDepth(cmd.filters.nMaxDepth);
    }
    // Its own factory takes the tree with it at the end, whole, without a walk over the nodes.
    CItemTree tree;
    const std::int64_t nScannedAt = CTime::GetCurrentTime().GetTime();
    if (!RunScan(cmd, scanner, tree))
        return kExitFailure;
    if (cmd.filters.nMaxDepth >= 0)
        tree.CutBelow(cmd.filters.nMaxDepth);

    SRenderResult rendered;
    const SWriteResult written =
        WriteToOutput(cmd, outputFile, StoresCrLf(cmd.eExport), [&](COutputSink& sink) {
            rendered = WriteExport(sink, cmd, format, {tree, scanner, nScannedAt}, strShownDir,
                                   language);
        });

    if (rendered.bUndefinedField)
        PrintError(language.GetText(kTextFieldInvalid));
    if (!written.IsWritten()) {
        PrintWriteError(cmd, language, written.nError);
        PrintScanErrors(scanner.GetScanErrors(), cmd.eLanguage);
        return kExitFailure;
    }
    return PrintScanErrors(scanner.GetScanErrors(), cmd.eLanguage) ? kExitFailure : kExitOk;
}

} // namespace

int main(int argc, char** argv) {
    PrepareStandardStreams();
    // UTF-8 arguments (on Windows from the UTF-16 command line), in the form getopt reads.
    std::vector<std::string> args = ProgramArguments(argc, argv);
    std::vector<char*> argPointers;
    for (std::string& strArg : args)
        argPointers.push_back(strArg.data());
    argPointers.push_back(nullptr);
    SCommandLine cmd;
    std::string strError;
    if (!ParseCommandLine(static_cast<int>(args.size()), argPointers.data(), cmd, strError)) {
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
    return cmd.bCompare ? RunCompare(cmd) : Run(cmd);
}
