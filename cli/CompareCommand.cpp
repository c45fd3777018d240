#include "CompareCommand.h"

#include <cerrno>
#include <optional>
#include <string>

#include "CliOutput.h"
#include "ScanMessages.h"
#include "lang/Language.h"
#include "lang/Version.h"
#include "platform/FileRead.h"
#include "platform/Time.h"
#include "scan/DirectoryScanner.h"
#include "snapshot/CompareReport.h"
#include "snapshot/SnapshotCompare.h"
#include "snapshot/SnapshotReader.h"

namespace {

constexpr int kExitSame = 0;
constexpr int kExitDifferent = 1;
constexpr int kExitTrouble = 2;

std::optional<CSnapshot> ReadSnapshot(const std::string& strFile, ELanguage eLanguage) {
    CSnapshot snapshot;
    SSnapshotError error;
    if (!ReadSnapshotFile(strFile, snapshot, error)) {
        PrintError(SnapshotErrorMessage(eLanguage, strFile, error));
        return std::nullopt;
    }
    return snapshot;
}

// Scans the directory as the old snapshot was made: recursive or not, with its hash and its
// filters.
std::optional<CSnapshot> ScanDirectory(const SCommandLine& cmd, const CSnapshot& oldSide,
                                       EHashAlgorithm eHash) {
    const SFilterSettings& filters = oldSide.filters;
    const std::optional<CEntryFilter> filter = CompileFilter(filters);
    if (!filter)
        return std::nullopt;
    CKWLOption option;
    option.m_bRecursive = oldSide.bRecursive;
    CDirectoryScanner scanner(option);
    scanner.SetReadLinkTargets(true);
    scanner.SetHashAlgorithm(eHash);
    ApplyFilters(filters, *filter, scanner);
    CItemTree tree;
    const std::int64_t nScannedAt = CTime::GetCurrentTime().GetTime();
    if (!RunScan(cmd, scanner, tree))
        return std::nullopt;
    if (filters.nMaxDepth >= 0)
        tree.CutBelow(filters.nMaxDepth);
    std::optional<CSnapshot> snapshot = CSnapshot::FromTree(
        tree, cmd.strDirectory, oldSide.bRecursive, scanner.GetScanErrors(), nScannedAt);
    if (!snapshot)
        PrintError(TooLargeMessage(cmd.eLanguage, cmd.strDirectory));
    else
        snapshot->filters = filters;
    return snapshot;
}

// What the snapshot (or the scan) records as not read; true when there is any.
bool PrintRecordedErrors(const CSnapshot& side, const std::string& strPrefix, ELanguage eLanguage) {
    for (const SSnapError& error : side.errors)
        PrintError(strPrefix + ScanErrorMessage(eLanguage, error.strPath, error.strReason));
    return !side.errors.empty();
}

} // namespace

int RunCompare(const SCommandLine& cmd) {
    const CLanguage language(cmd.eLanguage);
    CAtomicFile outputFile;
    if (cmd.bHasOutput && !outputFile.Resolve(cmd.strOutput)) {
        PrintWriteError(cmd, language, errno);
        return kExitTrouble;
    }
    const std::optional<CSnapshot> oldSide = ReadSnapshot(cmd.strSnapshot, cmd.eLanguage);
    if (!oldSide)
        return kExitTrouble;
    // Contents are compared only by the same hash.
    if (cmd.bHashGiven && oldSide->eHash != EHashAlgorithm::None && cmd.eHash != oldSide->eHash) {
        PrintError("--hash " + std::string(HashAlgorithmName(cmd.eHash)) + ": the snapshot holds " +
                   std::string(HashAlgorithmName(oldSide->eHash)) + " hashes");
        return kExitTrouble;
    }
    const EHashAlgorithm eHash = oldSide->eHash != EHashAlgorithm::None ? oldSide->eHash : cmd.eHash;
    const bool bSecondSnapshot = !IsDirectoryPath(cmd.strDirectory);
    const std::optional<CSnapshot> newSide = bSecondSnapshot
                                                 ? ReadSnapshot(cmd.strDirectory, cmd.eLanguage)
                                                 : ScanDirectory(cmd, *oldSide, eHash);
    if (!newSide)
        return kExitTrouble;

    const SCompareResult result = CompareSnapshots(*oldSide, *newSide);
    const SCompareSides sides{*oldSide, *newSide, cmd.strSnapshot, cmd.strDirectory};
    const SWriteResult written = WriteToOutput(cmd, outputFile, false, [&](COutputSink& sink) {
        if (cmd.eExport == EExportKind::Json)
            WriteCompareJson(sink, result, sides, std::string("kwl-list ") + KWL_VERSION);
        else
            WriteCompareLines(sink, result, sides, cmd.eLanguage);
    });
    const bool bOldErrors = PrintRecordedErrors(*oldSide, cmd.strSnapshot + ": ", cmd.eLanguage);
    const bool bNewErrors = PrintRecordedErrors(
        *newSide, bSecondSnapshot ? cmd.strDirectory + ": " : std::string(), cmd.eLanguage);
    if (!written.IsWritten()) {
        PrintWriteError(cmd, language, written.nError);
        return kExitTrouble;
    }
    if (bOldErrors || bNewErrors)
        return kExitTrouble;
    return result.HasDifferences() ? kExitDifferent : kExitSame;
}
