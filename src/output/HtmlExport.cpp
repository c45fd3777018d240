#include "output/HtmlExport.h"

#include <array>
#include <charconv>
#include <vector>

#include "output/HtmlLayout.h"

namespace {

constexpr std::string_view kShade = "bgcolor=\"#BBBBBBBB\"";
constexpr std::string_view kCellBreak = "</TD><TD>";
constexpr std::string_view kShadedCellBreak = "</TD><TD bgcolor=\"#BBBBBBBB\">";
// A file row collects its first ten columns in cells of their own; the rest of each line,
// tabs included, goes into the eleventh.
constexpr int kMaxColumnCells = 11;

void AppendNumber(std::string& strOut, int n) {
    char buf[16];
    const auto res = std::to_chars(buf, buf + sizeof buf, n);
    strOut.append(buf, res.ptr);
}

// One pass per piece of text: escapes the markup characters and writes strTab for every tab.
void AppendHtml(std::string& strOut, std::string_view strText, std::string_view strTab) {
    std::size_t nRun = 0;
    for (std::size_t i = 0; i < strText.size(); ++i) {
        std::string_view strReplacement;
        switch (strText[i]) {
        case '&':
            strReplacement = "&amp;";
            break;
        case '<':
            strReplacement = "&lt;";
            break;
        case '>':
            strReplacement = "&gt;";
            break;
        case '"':
            strReplacement = "&quot;";
            break;
        case '\t':
            strReplacement = strTab;
            break;
        default:
            continue;
        }
        strOut.append(strText.data() + nRun, i - nRun);
        strOut += strReplacement;
        nRun = i + 1;
    }
    strOut.append(strText.data() + nRun, strText.size() - nRun);
}

// Every tab of the page ends up as a cell break; outside the rows only the path or a word can
// hold one.
void AppendReplacingTabs(std::string& strOut, std::string_view strText) {
    std::size_t nRun = 0;
    for (std::size_t nTab = strText.find('\t'); nTab != std::string_view::npos;
         nTab = strText.find('\t', nRun)) {
        strOut.append(strText.data() + nRun, nTab - nRun);
        strOut += kCellBreak;
        nRun = nTab + 1;
    }
    strOut.append(strText.data() + nRun, strText.size() - nRun);
}

// The span goes directly behind the "<TD" of a row's last cell.
void AppendSpan(std::string& strOut, int nSpan) {
    if (nSpan > 1) {
        strOut += " COLSPAN=";
        AppendNumber(strOut, nSpan);
    }
}

// Writes the rows of a table, reusing its buffers for every row so that a large tree does not
// allocate per line, and keeps what rendering reported.
class CTableRows {
public:
    CTableRows(const CKWLFormat& format, COutputSink& sink) : m_format(format), m_sink(sink) {}

    // The rows for the contents of dir; layout is the measure of dir's subtree. False when
    // the sink asked to stop.
    bool Write(const CDirInformation& dir, const SHtmlLayout& layout, int nColumns, bool bFirstRow);
    SRenderResult Result() const { return m_result; }

private:
    void AppendDirectoryRow(const CDirInformation& dir, int nRowSpan, int nColumns,
                            bool& bFirstRow);
    bool AppendFileRow(const CDirInformation& dir, int nColumns, bool bFirstRow);
    // The item's line at depth 0 with tabs between its columns, valid until the next call.
    std::string_view RenderLine(const CKWLItem& item);

    const CKWLFormat& m_format;
    COutputSink& m_sink;
    SRenderResult m_result;
    std::string m_strLine;
    std::array<std::string, kMaxColumnCells> m_cells;
};

bool CTableRows::Write(const CDirInformation& dir, const SHtmlLayout& layout, int nColumns,
                       bool bFirstRow) {
    // One frame per open directory level instead of recursion: deep trees cannot overflow
    // the call stack, and sibling chains are walked in a loop.
    struct SFrame {
        const CDirInformation* pDir;
        const CDirInformation* pNextSubDir;
        int nColumns;
        bool bFirstRow;
        int nRowSpan; // of the indentation cell beside pDir's contents
    };
    // The spans come in the order in which the walk opens directories with subdirectories.
    std::size_t nNextSpan = 0;
    const auto fnRowSpan = [&](const CDirInformation& d) {
        return d.m_pFirstSubDir != nullptr ? layout.rowSpans.at(nNextSpan++) : 0;
    };
    std::vector<SFrame> stack;
    stack.push_back({&dir, dir.m_pFirstSubDir, nColumns, bFirstRow, fnRowSpan(dir)});
    while (!stack.empty()) {
        SFrame& frame = stack.back();
        if (frame.pNextSubDir != nullptr) {
            const CDirInformation* pSub = frame.pNextSubDir;
            frame.pNextSubDir = pSub->m_pNextDir;
            AppendDirectoryRow(*pSub, frame.nRowSpan, frame.nColumns, frame.bFirstRow);
            if (!m_sink.ItemDone())
                return false;
            const int nInner = frame.nColumns - 1;
            stack.push_back({pSub, pSub->m_pFirstSubDir, nInner, true, fnRowSpan(*pSub)});
            continue;
        }
        if (!AppendFileRow(*frame.pDir, frame.nColumns, frame.bFirstRow))
            return false;
        stack.pop_back();
    }
    return true;
}

std::string_view CTableRows::RenderLine(const CKWLItem& item) {
    m_strLine.clear();
    m_result |= m_format.RenderInto(&item, 0, m_strLine, kTabSeparator);
    return m_strLine;
}

void CTableRows::AppendDirectoryRow(const CDirInformation& dir, int nRowSpan, int nColumns,
                                    bool& bFirstRow) {
    std::string& strHtml = m_sink.Text();
    strHtml += "<TR>";
    if (bFirstRow) {
        strHtml += "<TD ROWSPAN=";
        AppendNumber(strHtml, nRowSpan);
        strHtml += ">&nbsp;</TD>";
        bFirstRow = false;
    }
    const std::string_view strView = RenderLine(dir);
    const int nSpan = nColumns - m_format.GetDirColumns() + 1;
    // Every column is a shaded cell; names are escaped, so the last cell starts behind the
    // line's last tab (or is the only one).
    const std::size_t nLastTab = strView.rfind('\t');
    strHtml += "<TD";
    if (nLastTab == std::string_view::npos)
        AppendSpan(strHtml, nSpan);
    strHtml += ' ';
    strHtml += kShade;
    strHtml += '>';
    if (nLastTab == std::string_view::npos) {
        AppendHtml(strHtml, strView, kShadedCellBreak);
    } else {
        AppendHtml(strHtml, strView.substr(0, nLastTab), kShadedCellBreak);
        strHtml += "</TD><TD";
        AppendSpan(strHtml, nSpan);
        strHtml += ' ';
        strHtml += kShade;
        strHtml += '>';
        AppendHtml(strHtml, strView.substr(nLastTab + 1), kShadedCellBreak);
    }
    strHtml += "</TD></TR>\n";
}

// False when the sink asked to stop; the row is then left out.
bool CTableRows::AppendFileRow(const CDirInformation& dir, int nColumns, bool bFirstRow) {
    if (dir.m_pFirstFile == nullptr)
        return true;
    for (std::string& strCell : m_cells)
        strCell.clear();
    int k = 0;
    for (const CFileInformation* pFile = dir.m_pFirstFile; pFile != nullptr;
         pFile = pFile->m_pNextFile) {
        const std::string_view strView = RenderLine(*pFile);
        k = 0;
        std::size_t nStart = 0;
        while (k < kMaxColumnCells - 1) {
            const std::size_t nTab = strView.find('\t', nStart);
            if (nTab == std::string_view::npos)
                break;
            std::string& strCell = m_cells[static_cast<std::size_t>(k)];
            AppendHtml(strCell, strView.substr(nStart, nTab - nStart), kCellBreak);
            strCell += "<BR>";
            nStart = nTab + 1;
            ++k;
        }
        // Tabs left here would become cell breaks in the finished page anyway.
        std::string& strCell = m_cells[static_cast<std::size_t>(k)];
        AppendHtml(strCell, strView.substr(nStart), kCellBreak);
        strCell += "<BR>";
        if (!m_sink.ItemDone())
            return false;
    }
    // The last file decides how many cells the row gets.
    const int nSpan = nColumns - m_format.GetFileColumns() + 1;
    std::string& strHtml = m_sink.Text();
    strHtml += bFirstRow ? "<TR><TD>&nbsp;</TD><TD" : "<TR><TD";
    for (int i = 0; i <= k; ++i) {
        if (i > 0)
            strHtml += "</TD><TD";
        if (i == k)
            AppendSpan(strHtml, nSpan);
        strHtml += '>';
        strHtml += m_cells[static_cast<std::size_t>(i)];
    }
    strHtml += "</TD></TR>\n";
    return true;
}

} // namespace

std::string EscapeHtml(std::string_view strText) {
    std::string strOut;
    strOut.reserve(strText.size());
    AppendHtml(strOut, strText, "\t");
    return strOut;
}

int FindLast(std::string_view str, std::string_view strFind) {
    const std::size_t nPos = str.rfind(strFind);
    return nPos == std::string_view::npos ? -1 : static_cast<int>(nPos);
}

SRenderResult ListDirectoriesHtml(const CKWLFormat& format, const CDirInformation* pDir,
                                  COutputSink& sink, int nColumns, bool bFirstRow) {
    if (pDir == nullptr)
        return {};
    CTableRows rows(format, sink);
    rows.Write(*pDir, MeasureHtmlLayout(*pDir, format.GetFileColumns(), format.GetDirColumns()),
               nColumns, bFirstRow);
    return rows.Result();
}

SRenderResult WriteHtmlDocument(COutputSink& sink, const CKWLFormat& format,
                                const CDirInformation* pRoot, const std::string& strDirectory,
                                const std::string& strTitleWord,
                                const std::string& strDirectoryWord) {
    SHtmlLayout layout;
    if (pRoot != nullptr)
        layout = MeasureHtmlLayout(*pRoot, format.GetFileColumns(), format.GetDirColumns());
    std::string& strHtml = sink.Text();
    strHtml += "<HTML>\n<HEAD><META charset=\"utf-8\"><TITLE>";
    AppendReplacingTabs(strHtml, strTitleWord);
    strHtml += ' ';
    AppendHtml(strHtml, strDirectory, kCellBreak);
    strHtml += "</TITLE></HEAD>\n<BODY>\n<H1>";
    AppendReplacingTabs(strHtml, strDirectoryWord);
    strHtml += ' ';
    AppendHtml(strHtml, strDirectory, kCellBreak);
    strHtml += "</H1>\n\n<TABLE BORDER=1>\n";
    CTableRows rows(format, sink);
    if (pRoot != nullptr && !rows.Write(*pRoot, layout, layout.nColumns, false))
        return rows.Result();
    sink.Text() += "</TABLE>\n</BODY>\n</HTML>";
    return rows.Result();
}

SRenderedText BuildHtmlDocument(const CKWLFormat& format, const CDirInformation* pRoot,
                                const std::string& strDirectory, const std::string& strTitleWord,
                                const std::string& strDirectoryWord, SWorkProgress* pProgress) {
    return RenderToString(pProgress, [&](COutputSink& sink) {
        return WriteHtmlDocument(sink, format, pRoot, strDirectory, strTitleWord, strDirectoryWord);
    });
}
