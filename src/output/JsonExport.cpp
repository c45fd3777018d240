#include "output/JsonExport.h"

#include <string_view>

#include "output/JsonWriter.h"
#include "platform/ErrnoNumbers.h"
#include "platform/PathSyntax.h"

namespace {

// The root node's name: the last component of the directory as given ("/" for the root of
// the file system; "C:" for a drive's root on Windows).
std::string_view LastComponent(std::string_view strPath) {
    const std::size_t nEnd = strPath.find_last_not_of(PathSeparators());
    if (nEnd == std::string_view::npos)
        return strPath.empty() ? strPath : std::string_view("/");
    const std::string_view strTrimmed = strPath.substr(0, nEnd + 1);
    const std::size_t nSlash = strTrimmed.find_last_of(PathSeparators());
    return nSlash == std::string_view::npos ? strTrimmed : strTrimmed.substr(nSlash + 1);
}

std::string_view TypeName(EFileKind eKind) {
    switch (eKind) {
    case EFileKind::File:
        return "file";
    case EFileKind::Symlink:
        return "symlink";
    case EFileKind::Other:
        break;
    }
    return "other";
}

template <class TNode> void AppendTimes(const TNode& node, std::string& strOut) {
    strOut += ",\"crtime\":";
    AppendJsonTime(node.m_timeCreation.GetTime(), node.m_nCreationNs, strOut);
    strOut += ",\"atime\":";
    AppendJsonTime(node.m_timeLastAccess.GetTime(), node.m_nLastAccessNs, strOut);
    strOut += ",\"mtime\":";
    AppendJsonTime(node.m_timeLastWrite.GetTime(), node.m_nLastWriteNs, strOut);
}

struct STotals {
    std::uint64_t nDirectories = 0; // below the root
    std::uint64_t nFiles = 0;
    std::uint64_t nBytes = 0;
};

// Writes the tree's nodes, nested as the tree is, with an explicit stack: no depth of tree
// can exhaust the call stack.
class CNodeWriter {
public:
    CNodeWriter(COutputSink& sink, const CItemTree& tree, bool bRecursive)
        : m_sink(sink), m_tree(tree), m_bRecursive(bRecursive) {}

    bool Write(std::string_view strRootName);
    const STotals& Totals() const { return m_totals; }

private:
    struct SFrame {
        const CDirInformation* pDir;
        const CDirInformation* pNextSubDir;
        bool bFirstChild = true;
    };

    void BeginChild(SFrame& frame);
    void AppendDirectory(const CDirInformation& dir, std::string_view strName);
    void AppendFile(const CFileInformation& file);

    COutputSink& m_sink;
    const CItemTree& m_tree;
    const bool m_bRecursive;
    STotals m_totals;
};

bool CNodeWriter::Write(std::string_view strRootName) {
    const CDirInformation& root = *m_tree.Root();
    AppendDirectory(root, strRootName);
    m_sink.Text() += ",\"children\":[";
    std::vector<SFrame> stack{{&root, root.m_pFirstSubDir}};
    while (!stack.empty()) {
        SFrame& top = stack.back();
        if (const CDirInformation* pSub = top.pNextSubDir) {
            top.pNextSubDir = pSub->m_pNextDir;
            BeginChild(top);
            AppendDirectory(*pSub, pSub->m_strName);
            ++m_totals.nDirectories;
            // A directory that was not read (or listed) has no children to tell, not an empty
            // list.
            if (m_bRecursive && !pSub->m_bEntriesLeftOut) {
                m_sink.Text() += ",\"children\":[";
                stack.push_back({pSub, pSub->m_pFirstSubDir}); // top is not used after this
            } else {
                m_sink.Text() += '}';
            }
            if (!m_sink.ItemDone())
                return false;
            continue;
        }
        for (const CFileInformation* pFile = top.pDir->m_pFirstFile; pFile != nullptr;
             pFile = pFile->m_pNextFile) {
            BeginChild(top);
            AppendFile(*pFile);
            if (!m_sink.ItemDone())
                return false;
        }
        m_sink.Text() += "]}";
        stack.pop_back();
    }
    return true;
}

void CNodeWriter::BeginChild(SFrame& frame) {
    m_sink.Text() += frame.bFirstChild ? "\n" : ",\n";
    frame.bFirstChild = false;
}

void CNodeWriter::AppendDirectory(const CDirInformation& dir, std::string_view strName) {
    std::string& strOut = m_sink.Text();
    strOut += '{';
    AppendJsonExactText("name", strName, strOut);
    strOut += ",\"type\":\"directory\",\"size\":";
    AppendJsonNumber(dir.m_nTotalSize, strOut);
    strOut += ",\"files\":";
    AppendJsonNumber(static_cast<std::uint64_t>(dir.m_nFileCount), strOut);
    AppendTimes(dir, strOut);
}

void CNodeWriter::AppendFile(const CFileInformation& file) {
    std::string& strOut = m_sink.Text();
    strOut += '{';
    AppendJsonExactText("name", file.m_strName, strOut);
    strOut += ",\"type\":\"";
    strOut += TypeName(file.m_eKind);
    strOut += "\",\"size\":";
    AppendJsonNumber(file.m_nSize, strOut);
    AppendTimes(file, strOut);
    // In the order of the listing's ARC-H style: archive, read-only, compressed, system, hidden.
    strOut += ",\"attributes\":\"";
    strOut += file.m_bArchive ? 'A' : '-';
    strOut += file.m_bReadOnly ? 'R' : '-';
    strOut += file.m_bCompressed ? 'C' : '-';
    strOut += file.m_bSystem ? 'S' : '-';
    strOut += file.m_bHidden ? 'H' : '-';
    strOut += '"';
    if (const std::string* pTarget = m_tree.LinkTarget(&file)) {
        strOut += ',';
        AppendJsonExactText("target", *pTarget, strOut);
    }
    if (const SContentDigest* pHash = m_tree.ContentHash(&file)) {
        strOut += ",\"hash\":\"";
        strOut += DigestHex(*pHash);
        strOut += '"';
    }
    strOut += '}';
    ++m_totals.nFiles;
    m_totals.nBytes = AddSaturated(m_totals.nBytes, file.m_nSize);
}

void AppendHeader(const SJsonDocumentInfo& info, EHashAlgorithm eHash, std::string& strOut) {
    strOut += "{\"kwl_tree\":";
    AppendJsonNumber(kJsonTreeVersion, strOut);
    strOut += ",\"generator\":";
    AppendJsonString(info.strGenerator, strOut);
    strOut += ',';
    AppendJsonExactText("root", info.strRoot, strOut);
    strOut += info.bRecursive ? ",\"recursive\":true" : ",\"recursive\":false";
    strOut += ",\"scanned_at\":";
    AppendJsonTimeSeconds(info.nScannedAt, strOut);
    strOut += ",\"hash\":";
    if (eHash == EHashAlgorithm::None) {
        strOut += "null";
    } else {
        strOut += '"';
        strOut += HashAlgorithmName(eHash);
        strOut += '"';
    }
    strOut += ",\n\"tree\":";
}

// The filters as given, so that a comparison can scan with the same ones.
void AppendFilters(const SFilterSettings& filters, std::string& strOut) {
    strOut += ",\n\"filters\":{\"exclude\":[";
    for (std::size_t i = 0; i < filters.patterns.size(); ++i) {
        strOut += i == 0 ? "{" : ",{";
        AppendJsonExactText("pattern", filters.patterns[i], strOut);
        strOut += '}';
    }
    strOut += "],\"ignore_case\":";
    strOut += filters.bIgnoreCase ? "true" : "false";
    strOut += ",\"no_hidden\":";
    strOut += filters.bNoHidden ? "true" : "false";
    strOut += ",\"one_file_system\":";
    strOut += filters.bOneFileSystem ? "true" : "false";
    strOut += ",\"max_depth\":";
    if (filters.nMaxDepth < 0)
        strOut += "null";
    else
        AppendJsonNumber(static_cast<std::uint64_t>(filters.nMaxDepth), strOut);
    strOut += '}';
}

void AppendErrors(const std::vector<SScanError>& errors, std::string& strOut) {
    strOut += ",\n\"errors\":[";
    for (std::size_t i = 0; i < errors.size(); ++i) {
        strOut += i == 0 ? "\n{" : ",\n{";
        AppendJsonExactText("path", errors[i].strPath, strOut);
        strOut += ",\"reason\":";
        AppendJsonString(std::error_code(errors[i].nErrno, std::generic_category()).message(),
                         strOut);
        strOut += ",\"errno\":";
        AppendJsonNumber(static_cast<std::uint64_t>(LinuxErrno(errors[i].nErrno)), strOut);
        strOut += '}';
    }
    strOut += ']';
}

void AppendTotals(const STotals& totals, std::string& strOut) {
    strOut += ",\n\"totals\":{\"directories\":";
    AppendJsonNumber(totals.nDirectories, strOut);
    strOut += ",\"files\":";
    AppendJsonNumber(totals.nFiles, strOut);
    strOut += ",\"bytes\":";
    AppendJsonNumber(totals.nBytes, strOut);
    strOut += "}}\n";
}

} // namespace

bool WriteJsonExport(COutputSink& sink, const CItemTree& tree, const SJsonDocumentInfo& info) {
    AppendHeader(info, tree.HashAlgorithm(), sink.Text());
    CNodeWriter nodes(sink, tree, info.bRecursive);
    if (!nodes.Write(LastComponent(info.strRoot)))
        return false;
    AppendErrors(info.errors, sink.Text());
    AppendFilters(info.filters, sink.Text());
    AppendTotals(nodes.Totals(), sink.Text());
    return sink.ItemDone();
}
