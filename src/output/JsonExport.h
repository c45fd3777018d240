#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/FilterSettings.h"
#include "model/ItemTree.h"
#include "model/ScanError.h"
#include "output/OutputSink.h"

// Layout version of the document: a change that breaks readers raises it.
inline constexpr int kJsonTreeVersion = 1;

// What the document says beside the tree.
struct SJsonDocumentInfo {
    std::string strGenerator;     // "kwl-list VERSION"
    std::string strRoot;          // the directory as given, exact
    bool bRecursive = false;      // whether the subdirectories were read
    std::int64_t nScannedAt = 0;  // when the scan began, seconds since 1970 (UTC)
    std::vector<SScanError> errors;
    SFilterSettings filters;      // what the scan left out
};

// The whole tree as one JSON document for programs, streamed into sink as it is walked (never
// held whole), LF line ends, one node per line. Names, link texts and paths are exact (U+FFFD
// and a "_base64" field beside them where they are not UTF-8), times are UTC with nanoseconds,
// sizes exact 64-bit integers; each directory lists its subdirectories, then its files, in
// listing order. The directories that could not be read completely are in "errors", so the
// document is whole and valid either way. False when the sink asked to stop.
bool WriteJsonExport(COutputSink& sink, const CItemTree& tree, const SJsonDocumentInfo& info);
