#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "CommandLine.h"
#include "lang/Language.h"
#include "model/ScanError.h"
#include "output/OutputSink.h"
#include "output/WriteResult.h"
#include "platform/AtomicFile.h"
#include "scan/DirectoryScanner.h"

// What kwl-list prints on standard error, and how its output reaches its target.

// "kwl-list: MESSAGE"; control characters in the message as "?".
void PrintError(const std::string& strMessage);
// The count of entries read (and bytes hashed), overwriting itself on one terminal line;
// bFinal wipes it.
void ShowProgress(std::uint64_t nEntries, std::uint64_t nBytesHashed, bool bFinal);
// One line per error, as GNU find does; strPrefix (a file name and ": ") before each. True
// when there was any.
bool PrintScanErrors(const std::vector<SScanError>& errors, ELanguage eLanguage,
                     const std::string& strPrefix = {});
// The output could not be written; nErrno is the reason, 0 when there is none to tell.
void PrintWriteError(const SCommandLine& cmd, const CLanguage& language, int nErrno);

// Scans DIRECTORY into tree with the scanner as the caller set it up, on the threads asked for
// and with the live count when asked for. False, the reason printed, when DIRECTORY cannot be
// opened.
bool RunScan(const SCommandLine& cmd, CDirectoryScanner& scanner, CItemTree& tree);

// The compiled filter of the settings (checked by the command-line parser already); nothing,
// with the reason printed, when a pattern cannot be parsed.
std::optional<CEntryFilter> CompileFilter(const SFilterSettings& settings);
// Sets the scanner up to leave out what the settings say (filter must outlive the scan).
void ApplyFilters(const SFilterSettings& settings, const CEntryFilter& filter,
                  CDirectoryScanner& scanner);

// Runs fnWrite into a sink on standard output or, with -o, into a temporary file that
// replaces the target only when all of it is written. bCrLf stores LF as CR LF.
SWriteResult WriteToOutput(const SCommandLine& cmd, CAtomicFile& outputFile, bool bCrLf,
                           const std::function<void(COutputSink&)>& fnWrite);
