#include "snapshot/CompareReport.h"

#include <initializer_list>
#include <string_view>
#include <utility>

#include "lang/TextRow.h"
#include "output/JsonWriter.h"
#include "platform/Encoding.h"

namespace {

enum class EReportText {
    Added,
    Removed,
    Changed,
    Moved,
    Type,
    Size,
    Mtime,
    Content,
    TopLevelHeading,
    Files,
    Bytes,
    Summary,
    Count
};

constexpr STextRow<EReportText> kTexts[] = {
    {EReportText::Added, "added", "hinzugefügt"},
    {EReportText::Removed, "removed", "entfernt"},
    {EReportText::Changed, "changed", "geändert"},
    {EReportText::Moved, "moved", "verschoben"},
    {EReportText::Type, "type", "Typ"},
    {EReportText::Size, "size", "Größe"},
    {EReportText::Mtime, "modification time", "Änderungszeit"},
    {EReportText::Content, "content", "Inhalt"},
    {EReportText::TopLevelHeading, "files and bytes per top-level directory:",
     "Dateien und Bytes je Verzeichnis der obersten Ebene:"},
    {EReportText::Files, "files", "Dateien"},
    {EReportText::Bytes, "bytes", "Bytes"},
    {EReportText::Summary, "summary", "Zusammenfassung"},
};
static_assert(RowsMatchIds(kTexts, EReportText::Count), "one row per text, in the order of the ids");

// The words of the change bits, in this order.
constexpr std::pair<EChangedWhat, EReportText> kWhatTexts[] = {
    {kChangedType, EReportText::Type},
    {kChangedSize, EReportText::Size},
    {kChangedMtime, EReportText::Mtime},
    {kChangedContent, EReportText::Content},
};
constexpr std::pair<EChangedWhat, std::string_view> kWhatKeys[] = {
    {kChangedType, "type"},
    {kChangedSize, "size"},
    {kChangedMtime, "mtime"},
    {kChangedContent, "content"},
};

// Each kind of change: its key in the JSON report and its word in the lines, in EChange order.
struct SChangeName {
    EChange eKind;
    std::string_view strKey;
    EReportText eText;
};
constexpr SChangeName kChangeNames[] = {
    {EChange::Added, "added", EReportText::Added},
    {EChange::Removed, "removed", EReportText::Removed},
    {EChange::Changed, "changed", EReportText::Changed},
    {EChange::Moved, "moved", EReportText::Moved},
};

constexpr bool ChangeNamesInOrder() {
    for (std::size_t i = 0; i < std::size(kChangeNames); ++i)
        if (static_cast<std::size_t>(kChangeNames[i].eKind) != i)
            return false;
    return std::size(kChangeNames) == static_cast<std::size_t>(EChange::Moved) + 1;
}
static_assert(ChangeNamesInOrder(), "one row per kind, in order");

const SChangeName& NameOf(EChange eKind) {
    return kChangeNames[static_cast<std::size_t>(eKind)];
}

std::string_view TypeKey(ESnapType eType) {
    switch (eType) {
    case ESnapType::Directory:
        return "directory";
    case ESnapType::File:
        return "file";
    case ESnapType::Symlink:
        return "symlink";
    case ESnapType::Other:
        break;
    }
    return "other";
}

// A path as people read it: control characters as "?", "/" after a directory.
void AppendShownPath(const CSnapshot& side, std::uint32_t n, std::string& strOut) {
    strOut += SanitizeName(side.RelativePath(n));
    if (side.Entry(n).eType == ESnapType::Directory)
        strOut += '/';
}

// " WORD +ADDED -REMOVED": digits only, the same in both languages.
void AppendPlusMinus(std::string_view strWord, std::uint64_t nAdded, std::uint64_t nRemoved,
                     std::string& strOut) {
    strOut += strWord;
    strOut += " +";
    AppendJsonNumber(nAdded, strOut);
    strOut += " -";
    AppendJsonNumber(nRemoved, strOut);
}

void AppendChangeLine(const SChange& change, const SCompareSides& sides, ELanguage eLanguage,
                      std::string& strOut) {
    strOut += TextOf(kTexts, NameOf(change.eKind).eText, eLanguage);
    strOut += ": ";
    switch (change.eKind) {
    case EChange::Added:
        AppendShownPath(sides.newSide, change.nNew, strOut);
        break;
    case EChange::Removed:
        AppendShownPath(sides.oldSide, change.nOld, strOut);
        break;
    case EChange::Moved:
        AppendShownPath(sides.oldSide, change.nOld, strOut);
        strOut += " -> ";
        AppendShownPath(sides.newSide, change.nNew, strOut);
        break;
    case EChange::Changed: {
        AppendShownPath(sides.newSide, change.nNew, strOut);
        const char* pszSeparator = " (";
        for (const auto& [eBit, eText] : kWhatTexts) {
            if ((change.nWhat & eBit) == 0)
                continue;
            strOut += pszSeparator;
            strOut += TextOf(kTexts, eText, eLanguage);
            pszSeparator = ", ";
        }
        strOut += ')';
        break;
    }
    }
    strOut += '\n';
}

// {"type":..,"size":..,"mtime":..} and the hash and link text where known.
void AppendJsonEntry(const CSnapshot& side, std::uint32_t n, std::string& strOut) {
    const SSnapEntry& entry = side.Entry(n);
    strOut += "{\"type\":\"";
    strOut += TypeKey(entry.eType);
    strOut += "\",\"size\":";
    AppendJsonNumber(entry.nSize, strOut);
    strOut += ",\"mtime\":";
    if (entry.bMtimeKnown)
        AppendJsonTime(entry.nMtime, entry.nMtimeNs, strOut);
    else
        strOut += "null";
    if (const SContentDigest* pHash = side.Hash(n)) {
        strOut += ",\"hash\":\"";
        strOut += DigestHex(*pHash);
        strOut += '"';
    }
    if (const std::string* pTarget = side.Target(n)) {
        strOut += ',';
        AppendJsonExactText("target", *pTarget, strOut);
    }
    strOut += '}';
}

void AppendJsonChange(const SChange& change, const SCompareSides& sides, std::string& strOut) {
    strOut += "{\"change\":\"";
    strOut += NameOf(change.eKind).strKey;
    strOut += "\",";
    switch (change.eKind) {
    case EChange::Added:
        AppendJsonExactText("path", sides.newSide.RelativePath(change.nNew), strOut);
        strOut += ",\"entry\":";
        AppendJsonEntry(sides.newSide, change.nNew, strOut);
        break;
    case EChange::Removed:
        AppendJsonExactText("path", sides.oldSide.RelativePath(change.nOld), strOut);
        strOut += ",\"entry\":";
        AppendJsonEntry(sides.oldSide, change.nOld, strOut);
        break;
    case EChange::Moved:
        AppendJsonExactText("from", sides.oldSide.RelativePath(change.nOld), strOut);
        strOut += ',';
        AppendJsonExactText("to", sides.newSide.RelativePath(change.nNew), strOut);
        strOut += ",\"entry\":";
        AppendJsonEntry(sides.newSide, change.nNew, strOut);
        break;
    case EChange::Changed: {
        AppendJsonExactText("path", sides.newSide.RelativePath(change.nNew), strOut);
        strOut += ",\"what\":[";
        bool bFirst = true;
        for (const auto& [eBit, strKey] : kWhatKeys) {
            if ((change.nWhat & eBit) == 0)
                continue;
            strOut += bFirst ? "\"" : ",\"";
            strOut += strKey;
            strOut += '"';
            bFirst = false;
        }
        strOut += "],\"old\":";
        AppendJsonEntry(sides.oldSide, change.nOld, strOut);
        strOut += ",\"new\":";
        AppendJsonEntry(sides.newSide, change.nNew, strOut);
        break;
    }
    }
    strOut += '}';
}

void AppendJsonSide(std::string_view strKey, const CSnapshot& side, const std::string& strSource,
                    std::string& strOut) {
    strOut += '"';
    strOut += strKey;
    strOut += "\":{";
    AppendJsonExactText("source", strSource, strOut);
    strOut += ',';
    AppendJsonExactText("root", side.strRoot, strOut);
    strOut += ",\"scanned_at\":";
    if (side.bHasScannedAt)
        AppendJsonTimeSeconds(side.nScannedAt, strOut);
    else
        strOut += "null";
    strOut += ",\"hash\":";
    if (side.eHash == EHashAlgorithm::None) {
        strOut += "null";
    } else {
        strOut += '"';
        strOut += HashAlgorithmName(side.eHash);
        strOut += '"';
    }
    strOut += '}';
}

void AppendJsonErrors(const CSnapshot& side, std::string_view strSide, bool& bFirst,
                      std::string& strOut) {
    for (const SSnapError& error : side.errors) {
        strOut += bFirst ? "\n{\"side\":\"" : ",\n{\"side\":\"";
        bFirst = false;
        strOut += strSide;
        strOut += "\",";
        AppendJsonExactText("path", error.strPath, strOut);
        strOut += ",\"reason\":";
        AppendJsonString(error.strReason, strOut);
        strOut += ",\"errno\":";
        AppendJsonNumber(error.nErrno, strOut);
        strOut += '}';
    }
}

// ,"KEY":N for each count, in order.
void AppendJsonCounts(std::initializer_list<std::pair<std::string_view, std::uint64_t>> counts,
                      std::string& strOut) {
    for (const auto& [strKey, n] : counts) {
        strOut += ",\"";
        strOut += strKey;
        strOut += "\":";
        AppendJsonNumber(n, strOut);
    }
}

} // namespace

bool WriteCompareLines(COutputSink& sink, const SCompareResult& result, const SCompareSides& sides,
                       ELanguage eLanguage) {
    if (!result.HasDifferences())
        return sink.ItemDone();
    for (const SChange& change : result.changes) {
        AppendChangeLine(change, sides, eLanguage, sink.Text());
        if (!sink.ItemDone())
            return false;
    }
    std::string& strOut = sink.Text();
    if (!result.topLevel.empty()) {
        strOut += '\n';
        strOut += TextOf(kTexts, EReportText::TopLevelHeading, eLanguage);
        strOut += '\n';
        for (const STopLevelDelta& delta : result.topLevel) {
            strOut += "  ";
            strOut += SanitizeName(delta.strName);
            strOut += ": ";
            AppendPlusMinus(TextOf(kTexts, EReportText::Files, eLanguage), delta.nFilesAdded,
                            delta.nFilesRemoved, strOut);
            strOut += ", ";
            AppendPlusMinus(TextOf(kTexts, EReportText::Bytes, eLanguage), delta.nBytesAdded,
                            delta.nBytesRemoved, strOut);
            strOut += '\n';
        }
    }
    strOut += '\n';
    strOut += TextOf(kTexts, EReportText::Summary, eLanguage);
    strOut += ": ";
    const std::pair<std::uint64_t, EReportText> counts[] = {
        {result.nAdded, EReportText::Added},
        {result.nRemoved, EReportText::Removed},
        {result.nChanged, EReportText::Changed},
        {result.nMoved, EReportText::Moved},
    };
    for (std::size_t i = 0; i < std::size(counts); ++i) {
        if (i > 0)
            strOut += ", ";
        AppendJsonNumber(counts[i].first, strOut);
        strOut += ' ';
        strOut += TextOf(kTexts, counts[i].second, eLanguage);
    }
    strOut += '\n';
    return sink.ItemDone();
}

bool WriteCompareJson(COutputSink& sink, const SCompareResult& result, const SCompareSides& sides,
                      const std::string& strGenerator) {
    std::string& strOut = sink.Text();
    strOut += "{\"kwl_compare\":";
    AppendJsonNumber(kJsonCompareVersion, strOut);
    strOut += ",\"generator\":";
    AppendJsonString(strGenerator, strOut);
    strOut += ",\n";
    AppendJsonSide("old", sides.oldSide, sides.strOldSource, strOut);
    strOut += ",\n";
    AppendJsonSide("new", sides.newSide, sides.strNewSource, strOut);
    strOut += ",\n\"changes\":[";
    for (std::size_t i = 0; i < result.changes.size(); ++i) {
        sink.Text() += i == 0 ? "\n" : ",\n";
        AppendJsonChange(result.changes[i], sides, sink.Text());
        if (!sink.ItemDone())
            return false;
    }
    std::string& strRest = sink.Text();
    strRest += "],\n\"top_level\":[";
    for (std::size_t i = 0; i < result.topLevel.size(); ++i) {
        const STopLevelDelta& delta = result.topLevel[i];
        strRest += i == 0 ? "\n{" : ",\n{";
        AppendJsonExactText("name", delta.strName, strRest);
        AppendJsonCounts({{"files_added", delta.nFilesAdded},
                          {"bytes_added", delta.nBytesAdded},
                          {"files_removed", delta.nFilesRemoved},
                          {"bytes_removed", delta.nBytesRemoved}},
                         strRest);
        strRest += '}';
    }
    strRest += "],\n\"errors\":[";
    bool bFirst = true;
    AppendJsonErrors(sides.oldSide, "old", bFirst, strRest);
    AppendJsonErrors(sides.newSide, "new", bFirst, strRest);
    // The first count follows the "{" without a comma.
    strRest += "],\n\"summary\":{\"added\":";
    AppendJsonNumber(result.nAdded, strRest);
    AppendJsonCounts({{"removed", result.nRemoved},
                      {"changed", result.nChanged},
                      {"moved", result.nMoved},
                      {"errors", sides.oldSide.errors.size() + sides.newSide.errors.size()}},
                     strRest);
    strRest += "}}\n";
    return sink.ItemDone();
}
