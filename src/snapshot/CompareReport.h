#pragma once

#include <string>

#include "lang/LanguageId.h"
#include "output/OutputSink.h"
#include "snapshot/SnapshotCompare.h"

// Layout version of the JSON report: a change that breaks readers raises it.
inline constexpr int kJsonCompareVersion = 1;

// What was compared: the two sides as the user named them.
struct SCompareSides {
    const CSnapshot& oldSide;
    const CSnapshot& newSide;
    std::string strOldSource; // the snapshot file, exact
    std::string strNewSource; // the directory or the second snapshot file, exact
};

// For people: one line per change, paths relative to the root with "?" for control
// characters and "/" after a directory, then the files and bytes added and removed per
// top-level directory and the counts. Nothing at all when there is no difference.
bool WriteCompareLines(COutputSink& sink, const SCompareResult& result, const SCompareSides& sides,
                       ELanguage eLanguage);

// For programs: the same as one JSON document with exact paths (see
// docs/kwl-compare.schema.json), always written, LF line ends.
bool WriteCompareJson(COutputSink& sink, const SCompareResult& result, const SCompareSides& sides,
                      const std::string& strGenerator);
