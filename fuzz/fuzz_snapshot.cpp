// Fuzz target: the input is a snapshot document. The reader either refuses it with a place
// inside the input or gives a snapshot whose every entry is found again by its recorded path,
// whose directories list their children in byte order without a name twice, that compares
// equal to itself and as all added against an empty tree, and whose reports can be written.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "FuzzCheck.h"
#include "output/OutputSink.h"
#include "snapshot/CompareReport.h"
#include "snapshot/SnapshotCompare.h"
#include "snapshot/SnapshotReader.h"

namespace {

void CheckEntries(const CSnapshot& snapshot) {
    std::string strPrefix = snapshot.strRoot;
    if (!strPrefix.empty() && strPrefix.back() != '/')
        strPrefix += '/';
    for (std::uint32_t n = 0; n < snapshot.Count(); ++n) {
        const SSnapEntry& entry = snapshot.Entry(n);
        KWL_CHECK((n == CSnapshot::Root()) == (entry.nParent == kNoEntry));
        const std::string strPath = n == CSnapshot::Root() ? snapshot.strRoot
                                                           : strPrefix + snapshot.RelativePath(n);
        const std::optional<std::uint32_t> found = snapshot.FindRecordedPath(strPath);
        KWL_CHECK(found && *found == n);
        if (entry.eType != ESnapType::Directory) {
            KWL_CHECK(entry.nChildCount == 0);
            continue;
        }
        std::string_view strLast;
        for (const std::uint32_t* p = snapshot.ChildrenBegin(n); p != snapshot.ChildrenEnd(n); ++p) {
            const SSnapEntry& child = snapshot.Entry(*p);
            KWL_CHECK(child.nParent == n);
            const std::string_view strName = snapshot.Name(*p);
            KWL_CHECK(p == snapshot.ChildrenBegin(n) || strLast < strName);
            KWL_CHECK(!strName.empty() && strName.find('/') == std::string_view::npos);
            strLast = strName;
        }
    }
}

void CheckReports(const CSnapshot& a, const CSnapshot& b, const SCompareResult& result) {
    const SCompareSides sides{a, b, "a.json", "b"};
    std::string strLines, strJson;
    COutputSink lines(strLines), json(strJson);
    WriteCompareLines(lines, result, sides, ELanguage::German);
    WriteCompareJson(json, result, sides, "fuzz");
    KWL_CHECK(lines.Finish().IsWritten() && json.Finish().IsWritten());
    KWL_CHECK(result.HasDifferences() != strLines.empty());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t nSize) {
    const std::string_view strText(reinterpret_cast<const char*>(pData), nSize);
    CSnapshot snapshot;
    SSnapshotError error;
    if (!ReadSnapshotText(strText, snapshot, error)) {
        KWL_CHECK(error.nOffset <= nSize);
        return 0;
    }
    CheckEntries(snapshot);
    const SCompareResult same = CompareSnapshots(snapshot, snapshot);
    KWL_CHECK(!same.HasDifferences());

    // Against an empty root everything below is added (as far as it was read completely).
    CSnapshot empty;
    SSnapshotError unused;
    const bool bRead = ReadSnapshotText(
        R"({"kwl_tree":1,"tree":{"name":"","type":"directory","size":0,"children":[]}})", empty,
        unused);
    KWL_CHECK(bRead);
    const SCompareResult added = CompareSnapshots(empty, snapshot);
    KWL_CHECK(added.nRemoved == 0 && added.nChanged == 0 && added.nMoved == 0);
    if (snapshot.Entry(CSnapshot::Root()).bIncomplete)
        KWL_CHECK(!added.HasDifferences());
    CheckReports(empty, snapshot, added);
    CheckReports(snapshot, empty, CompareSnapshots(snapshot, empty));
    return 0;
}
