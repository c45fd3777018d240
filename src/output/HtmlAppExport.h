#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "lang/LanguageId.h"
#include "model/KWLItem.h"
#include "model/ScanError.h"
#include "output/OutputSink.h"

// What the browsable page shows beside the tree.
struct SHtmlAppInfo {
    std::string strRoot;                 // the directory as given, exact
    ELanguage eLanguage = ELanguage::English; // the page's texts and the reasons of the errors
    std::int64_t nScannedAt = 0;         // when the scan began, seconds since 1970 (UTC)
    std::vector<SScanError> errors;      // the directories that could not be read completely
};

// The columns of the page's data, in the order of their ids: per entry of the tree in listing
// order (the root first) its depth (0 for the root), flags (kHtmlAppFlag...), size (a
// directory's total), for directories only their file count, the modified, created and
// accessed times as differences to the previous entry's, and the names as a screen shows
// them, each ended by a line feed. Numbers are LEB128 varints, differences zigzag-coded.
inline constexpr const char* kHtmlAppColumns[] = {"depth",   "flags",    "size",     "files",
                                                  "modified", "created", "accessed", "names"};
enum EHtmlAppColumn { kColDepth, kColFlags, kColSize, kColFiles, kColModified, kColCreated,
                      kColAccessed, kColNames, kHtmlAppColumnCount };
// Flags: the kind in the low two bits (0 directory, 1 file, 2 link, 3 other), then one bit each.
inline constexpr unsigned kHtmlAppKindMask = 3;
inline constexpr unsigned kHtmlAppReadOnly = 4;
inline constexpr unsigned kHtmlAppCompressed = 8;
inline constexpr unsigned kHtmlAppSystem = 16;
inline constexpr unsigned kHtmlAppHidden = 32;
inline constexpr unsigned kHtmlAppArchive = 64;
inline constexpr unsigned kHtmlAppUnreadable = 128;     // could not be read completely
inline constexpr unsigned kHtmlAppEntriesLeftOut = 256; // below the depth limit, not listed
inline constexpr unsigned kHtmlAppNoModified = 512;     // the time is unknown (difference 0)
inline constexpr unsigned kHtmlAppNoCreated = 1024;
inline constexpr unsigned kHtmlAppNoAccessed = 2048;

// The browsable page of the tree: one self-contained HTML file (no request leaves it, a
// Content Security Policy says so) whose script shows a folding, sortable, searchable tree.
// The tree's data goes into the page as one zlib stream per column, base64-encoded in blocks
// (<script type="application/octet-stream" data-column="ID">) written as the tree is walked,
// so memory does not grow with the tree. LF line ends. A null root is an empty directory. False
// when the sink asked to stop.
bool WriteHtmlAppExport(COutputSink& sink, const CDirInformation* pRoot, const SHtmlAppInfo& info);
