// The browsable page's data, read back the way the page reads it: base64 blocks per column,
// inflated with zlib, varints decoded; checked against the tree and the listing.
#include "output/HtmlAppExport.h"

#include <zlib.h>

#include <cstdint>
#include <cstdio>
#include <algorithm>
#include <map>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "format/KWLFormat.h"
#include "output/DeflateColumn.h"
#include "output/JsonWriter.h"
#include "output/OutputSink.h"
#include "output/ScannedTree.h"
#include "output/TextExport.h"
#include "platform/ContentHash.h"
#include "platform/DirReader.h"
#include "platform/Encoding.h"
#include "support/TempTree.h"

namespace {

std::string Base64Decode(std::string_view strText) {
    static const std::string kAlphabet =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string strOut;
    std::uint32_t nBits = 0;
    int nCount = 0;
    for (const char c : strText) {
        if (c == '=')
            break;
        const std::size_t nValue = kAlphabet.find(c);
        if (nValue == std::string::npos)
            throw std::runtime_error("not base64");
        nBits = (nBits << 6) | static_cast<std::uint32_t>(nValue);
        nCount += 6;
        if (nCount >= 8) {
            nCount -= 8;
            strOut += static_cast<char>((nBits >> nCount) & 0xFF);
        }
    }
    return strOut;
}

std::string Inflate(const std::string& strCompressed) {
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK)
        throw std::runtime_error("inflateInit");
    std::string strOut;
    char buffer[65536];
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(strCompressed.data()));
    stream.avail_in = static_cast<uInt>(strCompressed.size());
    int nResult = Z_OK;
    while (nResult != Z_STREAM_END) {
        stream.next_out = reinterpret_cast<Bytef*>(buffer);
        stream.avail_out = sizeof buffer;
        nResult = inflate(&stream, Z_NO_FLUSH);
        if (nResult != Z_OK && nResult != Z_STREAM_END) {
            inflateEnd(&stream);
            throw std::runtime_error("inflate failed");
        }
        strOut.append(buffer, sizeof buffer - stream.avail_out);
    }
    const bool bAllUsed = stream.avail_in == 0;
    inflateEnd(&stream);
    if (!bAllUsed)
        throw std::runtime_error("bytes after the end of a stream");
    return strOut;
}

struct SDecodedEntry {
    std::uint64_t nDepth = 0;
    std::uint64_t nFlags = 0;
    std::uint64_t nSize = 0;
    std::uint64_t nFiles = 0;
    std::int64_t times[3] = {}; // modified, created, accessed
    std::string strName;
};

// What the page's script decodes.
struct SDecodedPage {
    std::string strPage;
    std::vector<SDecodedEntry> entries;
    std::size_t nLargestBlock = 0;
    std::vector<int> blockOrder; // the column of every block, in page order
};

class CVarintReader {
public:
    explicit CVarintReader(std::string strBytes) : m_strBytes(std::move(strBytes)) {}
    std::uint64_t Unsigned() {
        std::uint64_t n = 0;
        for (int nShift = 0;; nShift += 7) {
            const auto b = static_cast<unsigned char>(m_strBytes.at(m_nPos++));
            n |= static_cast<std::uint64_t>(b & 0x7F) << nShift;
            if ((b & 0x80) == 0)
                return n;
        }
    }
    std::int64_t Signed() {
        const std::uint64_t u = Unsigned();
        return static_cast<std::int64_t>(u >> 1) ^ -static_cast<std::int64_t>(u & 1);
    }
    bool AtEnd() const { return m_nPos == m_strBytes.size(); }

private:
    std::string m_strBytes;
    std::size_t m_nPos = 0;
};

SDecodedPage Decode(std::string strPage) {
    SDecodedPage page;
    std::vector<std::string> compressed(kHtmlAppColumnCount);
    constexpr std::string_view kOpen = "<script type=\"application/octet-stream\" data-column=\"";
    for (std::size_t nAt = strPage.find(kOpen); nAt != std::string::npos;
         nAt = strPage.find(kOpen, nAt + 1)) {
        const std::size_t nColumn = static_cast<std::size_t>(strPage.at(nAt + kOpen.size()) - '0');
        const std::size_t nStart = strPage.find('>', nAt) + 1;
        const std::size_t nEnd = strPage.find("</script>", nStart);
        const std::string strBlock = Base64Decode(std::string_view(strPage).substr(nStart, nEnd - nStart));
        page.nLargestBlock = std::max(page.nLargestBlock, strBlock.size());
        page.blockOrder.push_back(static_cast<int>(nColumn));
        compressed.at(nColumn) += strBlock;
    }
    std::vector<CVarintReader> columns;
    for (const std::string& strColumn : compressed)
        columns.emplace_back(Inflate(strColumn));
    std::string strNames = Inflate(compressed[kColNames]);
    std::size_t nNamePos = 0;
    while (nNamePos < strNames.size()) {
        SDecodedEntry entry;
        entry.nDepth = columns[kColDepth].Unsigned();
        entry.nFlags = columns[kColFlags].Unsigned();
        entry.nSize = columns[kColSize].Unsigned();
        if ((entry.nFlags & kHtmlAppKindMask) == 0)
            entry.nFiles = columns[kColFiles].Unsigned();
        const EHtmlAppColumn timeColumns[] = {kColModified, kColCreated, kColAccessed};
        for (int k = 0; k < 3; ++k)
            entry.times[k] = columns[timeColumns[k]].Signed() + (page.entries.empty() ? 0 : page.entries.back().times[k]);
        const std::size_t nEnd = strNames.find('\n', nNamePos);
        entry.strName = strNames.substr(nNamePos, nEnd - nNamePos);
        nNamePos = nEnd + 1;
        page.entries.push_back(std::move(entry));
    }
    for (const EHtmlAppColumn eColumn : {kColDepth, kColFlags, kColSize, kColFiles})
        EXPECT_TRUE(columns[eColumn].AtEnd()) << kHtmlAppColumns[eColumn];
    page.strPage = std::move(strPage);
    return page;
}

SDecodedPage ExportAndDecode(const CDirInformation* pRoot, const SHtmlAppInfo& info) {
    std::string strPage;
    COutputSink sink(strPage);
    const bool bDone = WriteHtmlAppExport(sink, pRoot, info);
    sink.Finish();
    EXPECT_TRUE(bDone);
    return Decode(std::move(strPage));
}

// "size;files" of every line of the text export (files only for directories): the numbers
// the listing shows, in listing order.
std::vector<std::string> ListedNumbers(const CDirInformation* pRoot) {
    CKWLFormat format;
    EXPECT_TRUE(format.Validate("size|D-files"));
    const std::string strText = BuildTextExport(format, pRoot, "d", "", ";").strText;
    std::vector<std::string> lines;
    // The heading line ends in LF, and every item's line starts with one.
    std::size_t nPos = strText.find('\n') + 2;
    while (nPos < strText.size()) {
        const std::size_t nEnd = strText.find('\n', nPos);
        lines.push_back(strText.substr(nPos, nEnd - nPos));
        nPos = nEnd == std::string::npos ? strText.size() : nEnd + 1;
    }
    return lines;
}

TEST(HtmlAppExport, ColumnsHoldTheTreeWithTheListingsTotals) {
    if (!CTempTree::CanMakeLinks())
        GTEST_SKIP() << "links as Linux has them";
    CTempTree dir;
    dir.AddFile("top.txt", 7);
    dir.AddFile("a/one.bin", 1000);
    dir.AddSparseFile("a/b/huge.img", 5'000'000'000ULL); // past 32 bits
    dir.AddFile("a/b/c/deep.txt", 3);
    dir.AddDir("empty");
    dir.AddLink("a/link", "one.bin");
    dir.SetTimes("top.txt", 1'000'000'000, 4'102'444'800); // modified in 2100
    dir.SetTimes("a/one.bin", 86'400, 0);                // 1970
    CScannedTree scanned(dir.Root());
    SHtmlAppInfo info;
    info.strRoot = dir.Root();
    const SDecodedPage page = ExportAndDecode(scanned.Root(), info);

    // The root, then the listing's lines in the listing's order.
    const std::vector<std::string> listed = ListedNumbers(scanned.Root());
    ASSERT_EQ(page.entries.size(), listed.size() + 1);
    EXPECT_EQ(page.entries[0].nDepth, 0u);
    EXPECT_EQ(page.entries[0].nSize, scanned.Root()->m_nTotalSize);
    EXPECT_EQ(page.entries[0].nSize, 5'000'001'017ULL); // the link counts with its own 7 bytes
    for (std::size_t i = 1; i < page.entries.size(); ++i) {
        const SDecodedEntry& entry = page.entries[i];
        const bool bDir = (entry.nFlags & kHtmlAppKindMask) == 0;
        const std::string strNumbers =
            std::to_string(entry.nSize) + (bDir ? ";" + std::to_string(entry.nFiles) : "");
        EXPECT_EQ(strNumbers, listed[i - 1]) << entry.strName;
    }
    std::map<std::string, const SDecodedEntry*> byName;
    for (const SDecodedEntry& entry : page.entries)
        byName[entry.strName] = &entry;
    EXPECT_EQ(byName.at("huge.img")->nSize, 5'000'000'000ULL);
    EXPECT_EQ(byName.at("huge.img")->nDepth, 3u);
    EXPECT_EQ(byName.at("deep.txt")->nDepth, 4u);
    EXPECT_EQ(byName.at("link")->nFlags & kHtmlAppKindMask, 2u);
    EXPECT_EQ(byName.at("top.txt")->nFlags & kHtmlAppKindMask, 1u);
    EXPECT_EQ(byName.at("top.txt")->times[0], 4'102'444'800);
    EXPECT_EQ(byName.at("top.txt")->times[2], 1'000'000'000);
    EXPECT_EQ(byName.at("one.bin")->times[0], 0);
    EXPECT_EQ(byName.at("one.bin")->times[2], 86'400);
    EXPECT_EQ(byName.at("empty")->nFiles, 0u);
}

// Names arrive as a screen shows them, byte for byte, and nothing in a name or in the path
// reaches the markup.
TEST(HtmlAppExport, NamesAreDataNeverMarkup) {
    if (!CTempTree::AllowsName("<script>"))
        GTEST_SKIP() << "Windows forbids such names";
    const std::string kHostile[] = {
        "<script>alert(1)<", "a&b \"q\" 'r'", "<!--", "tab\there",
        "bad\xFF\xFE", "line\xE2\x80\xA8sep", "\xC2\x9B" "csi", "<img src=x onerror=alert(2)>"};
    CTempTree dir;
    for (const std::string& strName : kHostile)
        dir.AddFile("d/" + strName, 1);
    CScannedTree scanned(dir.Root());
    SHtmlAppInfo info;
    info.strRoot = dir.Root() + "/</script>";
    info.errors.push_back({dir.Root() + "/<b>\xFF", 13});
    const SDecodedPage page = ExportAndDecode(scanned.Root(), info);

    std::vector<std::string> names;
    for (const SDecodedEntry& entry : page.entries)
        names.push_back(entry.strName);
    for (const std::string& strName : kHostile) {
        std::string strShown;
        AppendScreenName(strName, strShown);
        EXPECT_NE(std::find(names.begin(), names.end(), strShown), names.end()) << strShown;
        EXPECT_TRUE(IsValidUtf8(strShown));
    }
    EXPECT_EQ(page.strPage.find("alert("), std::string::npos);
    EXPECT_EQ(page.strPage.find("<b>"), std::string::npos);
    // The path is only in the title (escaped) and in the data block (as JSON, "<" escaped).
    EXPECT_NE(page.strPage.find("/&lt;/script&gt;</title>"), std::string::npos);
    EXPECT_NE(page.strPage.find("\\u003c/script>\""), std::string::npos);
}

// The Content Security Policy lets exactly the page's own script and style run, by hash,
// and nothing load.
TEST(HtmlAppExport, PolicyAllowsOnlyTheInlineScriptAndStyle) {
    const SDecodedPage page = ExportAndDecode(nullptr, SHtmlAppInfo{});
    const std::string& strPage = page.strPage;
    const auto fnInner = [&](std::string_view strOpen, std::string_view strClose) {
        const std::size_t nStart = strPage.rfind(strOpen) + strOpen.size();
        return strPage.substr(nStart, strPage.find(strClose, nStart) - nStart);
    };
    const auto fnHash = [](const std::string& strText) {
        std::string strOut = "'sha256-";
        AppendBase64(CContentHasher(EHashAlgorithm::Sha256).HashBytes(strText).View(), strOut);
        return strOut + "'";
    };
    const std::string strPolicy = fnInner("http-equiv=\"Content-Security-Policy\" content=\"", "\"");
    EXPECT_EQ(strPolicy, "default-src 'none'; script-src " + fnHash(fnInner("<script>", "</script>")) +
                             "; style-src " + fnHash(fnInner("<style>", "</style>")) +
                             "; base-uri 'none'; form-action 'none'");
    EXPECT_EQ(strPage.find("unsafe"), std::string::npos);
    EXPECT_EQ(strPage.find("http:"), std::string::npos);
    EXPECT_EQ(strPage.find("https:"), std::string::npos);
    EXPECT_EQ(strPage.find("@@"), std::string::npos);
    EXPECT_NE(strPage.find("<html lang=\"en\""), std::string::npos);
    // No tree at all: the root alone, an empty directory.
    ASSERT_EQ(page.entries.size(), 1u);
    EXPECT_EQ(page.entries[0].nSize, 0u);
}

// A directory that the scan reported is flagged; the others are not. Unknown times are
// flagged and leave the differences of the others exact.
TEST(HtmlAppExport, FlagsUnreadableDirectoriesAndUnknownTimes) {
    CTempTree dir;
    dir.AddFile("ok/x", 1);
    dir.AddFile("bad/inner/y", 1);
    dir.AddDir("bad/inner/z");
    CScannedTree scanned(dir.Root());
    CDirInformation* pBad = scanned.Root()->m_pFirstSubDir;
    ASSERT_EQ(std::string_view(pBad->m_strName), "bad");
    pBad->m_pFirstSubDir->m_timeLastWrite = CTime(kUnknownTime);
    SHtmlAppInfo info;
    info.strRoot = dir.Root() + "/";
    info.eLanguage = ELanguage::German;
    info.errors = {{dir.Root() + "/bad/inner", 5}, {dir.Root() + "/", 2}};
    const SDecodedPage page = ExportAndDecode(scanned.Root(), info);
    std::map<std::string, std::uint64_t> flags;
    for (const SDecodedEntry& entry : page.entries)
        flags[entry.strName] = entry.nFlags;
    EXPECT_TRUE(flags.at(dir.Root() + "/") & kHtmlAppUnreadable);
    EXPECT_TRUE(flags.at("inner") & kHtmlAppUnreadable);
    EXPECT_TRUE(flags.at("inner") & kHtmlAppNoModified);
    EXPECT_FALSE(flags.at("bad") & kHtmlAppUnreadable);
    EXPECT_FALSE(flags.at("z") & kHtmlAppUnreadable);
    EXPECT_FALSE(flags.at("ok") & kHtmlAppUnreadable);
    EXPECT_NE(page.strPage.find("<html lang=\"de\""), std::string::npos);
    // The reasons in the page's language, as kwl-list's own messages give them.
    EXPECT_NE(page.strPage.find("\"reason\":\"Ein-/Ausgabefehler\""), std::string::npos);
    EXPECT_NE(page.strPage.find("\"reason\":\"Datei oder Verzeichnis nicht gefunden\""),
              std::string::npos);
    info.eLanguage = ELanguage::English;
    const std::string strEnglish = ExportAndDecode(scanned.Root(), info).strPage;
    EXPECT_NE(strEnglish.find("\"reason\":\"Input/output error\""), std::string::npos);
    EXPECT_NE(strEnglish.find("\"reason\":\"No such file or directory\""), std::string::npos);
}

// The data is written as the tree is walked: many blocks, none larger than one block, the
// columns' blocks interleaved rather than each column held until its end.
TEST(HtmlAppExport, DataIsWrittenInBlocksAsTheTreeIsWalked) {
    CTempTree dir;
    // Names that compress poorly, so that the names column fills several blocks.
    constexpr int kFiles = 12000;
    std::uint64_t nMix = 88172645463325252ULL;
    for (int i = 0; i < kFiles; ++i) {
        nMix ^= nMix << 13;
        nMix ^= nMix >> 7;
        nMix ^= nMix << 17;
        char szName[40];
        std::snprintf(szName, sizeof szName, "%016llx%08x", static_cast<unsigned long long>(nMix), i);
        dir.AddFile(std::string("many/") + szName, 0);
    }
    CScannedTree scanned(dir.Root());
    SHtmlAppInfo info;
    info.strRoot = dir.Root();
    const SDecodedPage page = ExportAndDecode(scanned.Root(), info);
    ASSERT_EQ(page.entries.size(), kFiles + 2u);
    EXPECT_LE(page.nLargestBlock, CDeflateColumn::kBlockSize);
    EXPECT_GE(page.blockOrder.size(), kHtmlAppColumnCount + 1u);
    // The columns are ended in the order of their ids once the walk is done; a names block
    // ahead of them was written during the walk.
    EXPECT_EQ(page.blockOrder.front(), kColNames);
}

} // namespace
