#include "output/HtmlAppExport.h"

#include <array>
#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <string_view>
#include <unordered_set>
#include <utility>

#include "lang/ErrorReason.h"
#include "output/DeflateColumn.h"
#include "output/HtmlAppPage.h"
#include "output/HtmlExport.h"
#include "output/JsonWriter.h"
#include "output/TreeWalk.h"
#include "platform/ContentHash.h"
#include "platform/DirReader.h"
#include "platform/Encoding.h"

namespace {

// The furthest from 1970 that a browser's Date reaches (100,000,000 days); a time beyond it
// is shown like an unknown one, which also keeps every difference exact in a double.
constexpr std::int64_t kShownTimeLimit = 8'640'000'000'000;

std::string_view LanguageCode(ELanguage eLanguage) {
    return eLanguage == ELanguage::German ? "de" : "en";
}

unsigned KindFlag(EFileKind eKind) {
    switch (eKind) {
    case EFileKind::File:
        return 1;
    case EFileKind::Symlink:
        return 2;
    case EFileKind::Other:
        break;
    }
    return 3;
}

// "sha256-BASE64" of an inline script or style, as a Content Security Policy allows it.
std::string CspHash(std::string_view strText) {
    CContentHasher hasher(EHashAlgorithm::Sha256);
    std::string strOut = "'sha256-";
    AppendBase64(hasher.HashBytes(strText).View(), strOut);
    strOut += '\'';
    return strOut;
}

// Appends strTemplate with every @@NAME@@ replaced by what fnFill appends for NAME.
template <class FillFn>
void AppendFilled(std::string_view strTemplate, std::string& strOut, FillFn&& fnFill) {
    constexpr std::string_view kMark = "@@";
    for (;;) {
        const std::size_t nStart = strTemplate.find(kMark);
        if (nStart == std::string_view::npos) {
            strOut += strTemplate;
            return;
        }
        const std::size_t nEnd = strTemplate.find(kMark, nStart + kMark.size());
        if (nEnd == std::string_view::npos)
            throw std::logic_error("the page's markup holds an unfinished @@ mark");
        strOut += strTemplate.substr(0, nStart);
        fnFill(strTemplate.substr(nStart + kMark.size(), nEnd - nStart - kMark.size()));
        strTemplate.remove_prefix(nEnd + kMark.size());
    }
}

// Writes the entries into the columns' streams, one entry at a time.
class CColumnWriter {
public:
    CColumnWriter(COutputSink& sink, const SHtmlAppInfo& info) : m_sink(sink) {
        for (std::size_t c = 0; c < m_columns.size(); ++c)
            m_columns[c] = std::make_unique<CDeflateColumn>(
                [this, c](std::string_view strBlock) { AppendBlock(c, strBlock); });
        for (const SScanError& error : info.errors)
            m_errorPaths.insert(error.strPath);
        m_dirPaths.push_back(info.strRoot);
    }

    void PutDirectory(const CDirInformation& dir, std::string_view strName, std::size_t nDepth);
    void PutFile(const CFileInformation& file, std::size_t nDepth);
    void Finish() {
        for (const std::unique_ptr<CDeflateColumn>& pColumn : m_columns)
            pColumn->Finish();
    }

    std::uint64_t Entries() const { return m_nEntries; }
    std::uint64_t Directories() const { return m_nDirectories; }
    std::uint64_t Files() const { return m_nFiles; }

private:
    void AppendBlock(std::size_t nColumn, std::string_view strBlock);
    void PutCommon(std::size_t nDepth, unsigned nFlags, std::uint64_t nSize, std::string_view strName,
                   const CTime (&times)[3]);
    // Whether the directory at nDepth, named strName, is one the scan could not read; keeps
    // the paths of the open directories only while there are errors to match.
    bool IsUnreadable(std::string_view strName, std::size_t nDepth);
    CDeflateColumn& Column(EHtmlAppColumn eColumn) { return *m_columns[eColumn]; }

    COutputSink& m_sink;
    std::array<std::unique_ptr<CDeflateColumn>, kHtmlAppColumnCount> m_columns;
    std::array<std::int64_t, 3> m_previousTimes{};
    std::unordered_set<std::string> m_errorPaths;
    std::vector<std::string> m_dirPaths; // [d]: the path of the open directory at depth d
    std::string m_strName;
    std::uint64_t m_nEntries = 0;
    std::uint64_t m_nDirectories = 0;
    std::uint64_t m_nFiles = 0;
};

void CColumnWriter::AppendBlock(std::size_t nColumn, std::string_view strBlock) {
    std::string& strOut = m_sink.Text();
    strOut += "<script type=\"application/octet-stream\" data-column=\"";
    strOut += static_cast<char>('0' + nColumn);
    strOut += "\">";
    AppendBase64(strBlock, strOut);
    strOut += "</script>\n";
}

void CColumnWriter::PutCommon(std::size_t nDepth, unsigned nFlags, std::uint64_t nSize,
                              std::string_view strName, const CTime (&times)[3]) {
    constexpr EHtmlAppColumn kTimeColumns[] = {kColModified, kColCreated, kColAccessed};
    constexpr unsigned kUnknownFlags[] = {kHtmlAppNoModified, kHtmlAppNoCreated,
                                          kHtmlAppNoAccessed};
    std::int64_t deltas[3] = {};
    for (std::size_t k = 0; k < 3; ++k) {
        const std::int64_t nTime = times[k].GetTime();
        if (nTime == kUnknownTime || nTime > kShownTimeLimit || nTime < -kShownTimeLimit) {
            nFlags |= kUnknownFlags[k];
            continue;
        }
        deltas[k] = nTime - m_previousTimes[k];
        m_previousTimes[k] = nTime;
    }
    Column(kColDepth).PutUnsigned(nDepth);
    Column(kColFlags).PutUnsigned(nFlags);
    Column(kColSize).PutUnsigned(nSize);
    for (std::size_t k = 0; k < 3; ++k)
        Column(kTimeColumns[k]).PutSigned(deltas[k]);
    m_strName.clear();
    AppendScreenName(strName, m_strName);
    m_strName += '\n';
    Column(kColNames).PutBytes(m_strName);
    ++m_nEntries;
}

bool CColumnWriter::IsUnreadable(std::string_view strName, std::size_t nDepth) {
    if (m_errorPaths.empty())
        return false;
    if (nDepth == 0)
        return m_errorPaths.contains(m_dirPaths[0]);
    m_dirPaths.resize(nDepth + 1);
    std::string& strPath = m_dirPaths[nDepth];
    strPath = m_dirPaths[nDepth - 1];
    if (!strPath.empty() && strPath.back() != '/')
        strPath += '/';
    strPath += strName;
    return m_errorPaths.contains(strPath);
}

void CColumnWriter::PutDirectory(const CDirInformation& dir, std::string_view strName,
                                 std::size_t nDepth) {
    unsigned nFlags = 0; // kind 0
    if (IsUnreadable(strName, nDepth))
        nFlags |= kHtmlAppUnreadable;
    if (dir.m_bEntriesLeftOut)
        nFlags |= kHtmlAppEntriesLeftOut;
    PutCommon(nDepth, nFlags, dir.m_nTotalSize, strName,
              {dir.m_timeLastWrite, dir.m_timeCreation, dir.m_timeLastAccess});
    Column(kColFiles).PutUnsigned(static_cast<std::uint64_t>(dir.m_nFileCount));
    if (nDepth > 0)
        ++m_nDirectories;
}

void CColumnWriter::PutFile(const CFileInformation& file, std::size_t nDepth) {
    unsigned nFlags = KindFlag(file.m_eKind);
    const std::pair<bool, unsigned> attributes[] = {
        {file.m_bReadOnly, kHtmlAppReadOnly}, {file.m_bCompressed, kHtmlAppCompressed},
        {file.m_bSystem, kHtmlAppSystem},     {file.m_bHidden, kHtmlAppHidden},
        {file.m_bArchive, kHtmlAppArchive}};
    for (const auto& [bSet, nFlag] : attributes)
        nFlags |= bSet ? nFlag : 0;
    PutCommon(nDepth, nFlags, file.m_nSize, file.m_strName,
              {file.m_timeLastWrite, file.m_timeCreation, file.m_timeLastAccess});
    ++m_nFiles;
}

// What the page's heading needs, as JSON; "<" escaped so that nothing in it can end its
// script element.
void AppendMeta(const SHtmlAppInfo& info, const CDirInformation& root,
                const CColumnWriter& columns, std::string& strOut) {
    const std::size_t nStart = strOut.size();
    std::string strShown;
    strOut += "{\"columns\":[";
    for (std::size_t c = 0; c < kHtmlAppColumnCount; ++c) {
        strOut += c == 0 ? "\"" : ",\"";
        strOut += kHtmlAppColumns[c];
        strOut += '"';
    }
    strOut += "],\"entries\":";
    AppendJsonNumber(columns.Entries(), strOut);
    strOut += ",\"root\":";
    AppendScreenName(info.strRoot, strShown);
    AppendJsonString(strShown, strOut);
    strOut += ",\"scanned\":";
    strOut += std::to_string(info.nScannedAt);
    strOut += ",\"directories\":";
    AppendJsonNumber(columns.Directories(), strOut);
    strOut += ",\"files\":";
    AppendJsonNumber(columns.Files(), strOut);
    // A string: a byte total can pass what a JavaScript number holds exactly.
    strOut += ",\"bytes\":\"";
    AppendJsonNumber(root.m_nTotalSize, strOut);
    strOut += "\",\"errors\":[";
    for (std::size_t i = 0; i < info.errors.size(); ++i) {
        strOut += i == 0 ? "{\"path\":" : ",{\"path\":";
        strShown.clear();
        AppendScreenName(info.errors[i].strPath, strShown);
        AppendJsonString(strShown, strOut);
        strOut += ",\"reason\":";
        AppendJsonString(ErrorReason(info.errors[i].nErrno, info.eLanguage), strOut);
        strOut += '}';
    }
    strOut += "]}";
    for (std::size_t i = nStart; i < strOut.size(); ++i) {
        if (strOut[i] == '<') {
            strOut.replace(i, 1, "\\u003c");
            i += 5;
        }
    }
}

} // namespace

bool WriteHtmlAppExport(COutputSink& sink, const CDirInformation* pRoot, const SHtmlAppInfo& info) {
    constexpr std::string_view kDataMark = "@@DATA@@";
    const std::size_t nData = kHtmlAppMarkup.find(kDataMark);
    if (nData == std::string_view::npos)
        throw std::logic_error("the page's markup has no place for the data");
    const auto fnFill = [&](std::string_view strName) {
        std::string& strOut = sink.Text();
        if (strName == "LANG") {
            strOut += LanguageCode(info.eLanguage);
        } else if (strName == "CSP") {
            // No request of any kind; only our own script and style run.
            strOut += "default-src 'none'; script-src " + CspHash(kHtmlAppScript) +
                      "; style-src " + CspHash(kHtmlAppStyle) +
                      "; base-uri 'none'; form-action 'none'";
        } else if (strName == "TITLE") {
            std::string strShown;
            AppendScreenName(info.strRoot, strShown);
            strOut += EscapeHtml(strShown);
        } else if (strName == "STYLE") {
            strOut += kHtmlAppStyle;
        } else if (strName == "SCRIPT") {
            strOut += kHtmlAppScript;
        } else if (strName != "META") {
            throw std::logic_error("the page's markup names an unknown part");
        }
    };
    AppendFilled(kHtmlAppMarkup.substr(0, nData), sink.Text(), fnFill);

    CColumnWriter columns(sink, info);
    CDirInformation emptyRoot;
    const CDirInformation& root = pRoot != nullptr ? *pRoot : emptyRoot;
    columns.PutDirectory(root, info.strRoot, 0);
    if (!sink.ItemDone())
        return false;
    const bool bWalked = output_detail::WalkTree(
        root, true,
        [&](const CDirInformation& dir, int nLevel) {
            columns.PutDirectory(dir, dir.m_strName, static_cast<std::size_t>(nLevel) + 1);
            return sink.ItemDone();
        },
        [&](const CFileInformation& file, int nLevel) {
            columns.PutFile(file, static_cast<std::size_t>(nLevel) + 1);
            return sink.ItemDone();
        });
    if (!bWalked)
        return false;
    columns.Finish();

    AppendFilled(kHtmlAppMarkup.substr(nData + kDataMark.size()), sink.Text(),
                 [&](std::string_view strName) {
                     if (strName == "META")
                         AppendMeta(info, root, columns, sink.Text());
                     else
                         fnFill(strName);
                 });
    return sink.ItemDone();
}
