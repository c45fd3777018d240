#include "format/KWLFormat.h"

#include <algorithm>
#include <charconv>
#include <typeinfo>

#include "platform/Encoding.h"

namespace {

// Index of the first "]" at or after nFrom that does not follow a backslash.
std::size_t FindClosingBracket(std::string_view s, std::size_t nFrom) {
    std::size_t nPos = s.find(']', nFrom);
    while (nPos != std::string_view::npos && nPos > 0 && s[nPos - 1] == '\\')
        nPos = s.find(']', nPos + 1);
    return nPos;
}

void AppendNumber(unsigned long long n, std::string& strOut) {
    char buf[24];
    auto res = std::to_chars(buf, buf + sizeof buf, n);
    strOut.append(buf, res.ptr);
}

void AppendSigned(long long n, std::string& strOut) {
    char buf[24];
    auto res = std::to_chars(buf, buf + sizeof buf, n);
    strOut.append(buf, res.ptr);
}

} // namespace

CKWLFormat::CKWLFormat() {
    for (std::size_t k = 1; k < m_strIndent.size(); ++k)
        m_strIndent[k] = m_strIndent[k - 1] + "  ";
}

bool StartsLikeFormula(std::string_view strField) {
    // Each of these is one byte, so a longer field is more than one character.
    constexpr std::string_view kFormulaStarts = "=+-@\t\r";
    return strField.size() > 1 && kFormulaStarts.find(strField[0]) != std::string_view::npos;
}

void QuoteField(std::string& strLine, std::size_t nStart, std::string_view strSeparator,
                EFieldQuoting eQuoting) {
    if (eQuoting == EFieldQuoting::None)
        return;
    const std::string_view strField = std::string_view(strLine).substr(nStart);
    const bool bInert =
        eQuoting == EFieldQuoting::Rfc4180InertFormulas && StartsLikeFormula(strField);
    if (!bInert && strField.find('"') == std::string_view::npos &&
        strField.find(strSeparator) == std::string_view::npos)
        return;
    std::string strQuoted;
    strQuoted.reserve(strField.size() + 8);
    strQuoted += '"';
    if (bInert)
        strQuoted += '\'';
    for (const char c : strField) {
        if (c == '"')
            strQuoted += '"';
        strQuoted += c;
    }
    strQuoted += '"';
    strLine.replace(nStart, std::string::npos, strQuoted);
}

// ---- validation ----

bool CKWLFormat::Validate(std::string strFormat) {
    m_strFileFormat.clear();
    m_strDirFormat.clear();
    m_bForFiles = m_bForDirs = true;
    m_nDirColumns = m_nFileColumns = 0;

    bool bResult = true;
    for (std::size_t i = 0; i < strFormat.size() && bResult; ++i) {
        if (strFormat[i] != '\\')
            continue;
        if (i + 1 == strFormat.size() || (strFormat[i + 1] != '[' && strFormat[i + 1] != ']'))
            bResult = false;
    }

    if (bResult) {
        const std::string_view line(strFormat);
        std::size_t nStart = 0;
        std::size_t nBar = line.find('|');
        bool bFailed = false;
        // A "|" at index 0 is never a split point, so a leading "|" stays in the column.
        while (nBar != std::string_view::npos && nBar >= 1) {
            if (!ParseColumn(line.substr(nStart, nBar - nStart))) {
                bFailed = true;
                break;
            }
            nStart = nBar + 1;
            nBar = line.find('|', nStart);
        }
        bResult = bFailed ? false : ParseColumn(line.substr(nStart));
    }

    if (!m_strFileFormat.empty() && m_strFileFormat.back() == '|')
        m_strFileFormat.pop_back();
    if (!m_strDirFormat.empty() && m_strDirFormat.back() == '|')
        m_strDirFormat.pop_back();

    m_fileTokens = Compile(m_strFileFormat, &SFieldKeyword::bForFiles);
    m_dirTokens = Compile(m_strDirFormat, &SFieldKeyword::bForDirs);
    return bResult;
}

bool CKWLFormat::ParseColumn(std::string_view strColumn) {
    m_bNewFileColumn = m_bNewDirColumn = true;
    if (!strColumn.empty()) {
        std::vector<std::string_view> pieces;
        std::size_t nDash = strColumn.find('-');
        if (nDash == 0) {
            pieces.push_back(strColumn); // a leading "-" is not a split point
        } else {
            std::size_t nStart = 0;
            while (nDash != std::string_view::npos) {
                pieces.push_back(strColumn.substr(nStart, nDash - nStart));
                nStart = nDash + 1;
                nDash = strColumn.find('-', nStart);
            }
            pieces.push_back(strColumn.substr(nStart));
        }
        // The last piece is always an element; a piece right after a qualifier is never
        // tested as a qualifier.
        for (std::size_t i = 0; i < pieces.size(); ++i) {
            if (i + 1 < pieces.size() && ParseQualifier(pieces[i]))
                ++i;
            if (!ParseElement(pieces[i]))
                return false;
        }
    }
    if (!m_strFileFormat.empty() && m_strFileFormat.back() != '|')
        m_strFileFormat += '|';
    if (!m_strDirFormat.empty() && m_strDirFormat.back() != '|')
        m_strDirFormat += '|';
    return true;
}

bool CKWLFormat::ParseQualifier(std::string_view strPiece) {
    m_bForFiles = strPiece == "F";
    m_bForDirs = strPiece == "D";
    if (!m_bForFiles && !m_bForDirs) {
        m_bForFiles = m_bForDirs = true;
        return false;
    }
    return true;
}

bool CKWLFormat::ParseElement(std::string_view strElement) {
    if (!IsText(strElement) && !IsField(strElement)) {
        m_bForFiles = m_bForDirs = true;
        return false;
    }
    if (m_bForFiles) {
        m_strFileFormat += strElement;
        if (m_bNewFileColumn) {
            m_bNewFileColumn = false;
            ++m_nFileColumns;
        }
    }
    if (m_bForDirs) {
        m_strDirFormat += strElement;
        if (m_bNewDirColumn) {
            m_bNewDirColumn = false;
            ++m_nDirColumns;
        }
    }
    m_bForFiles = m_bForDirs = true;
    return true;
}

bool CKWLFormat::IsField(std::string_view strElement) {
    return FindFieldKeyword(strElement) != nullptr;
}

bool CKWLFormat::IsText(std::string_view strElement) {
    if (strElement.empty() || strElement[0] != '[')
        return false;
    const std::size_t nClose = FindClosingBracket(strElement, 0);
    if (nClose == std::string_view::npos || nClose != strElement.size() - 1)
        return false;
    bool bEscape = false;
    for (std::size_t i = 1; i < nClose; ++i) {
        const auto b = static_cast<unsigned char>(strElement[i]);
        if (bEscape) {
            if (b != '[' && b != ']')
                return false;
            bEscape = false;
        } else if (b == '\\') {
            bEscape = true;
        } else {
            const std::size_t nLength = TextCharLength(strElement.substr(i, nClose - i));
            if (nLength == 0)
                return false;
            i += nLength - 1;
        }
    }
    return !bEscape;
}

// ---- rendering ----

std::vector<CKWLFormat::SToken> CKWLFormat::Compile(std::string_view strFormat,
                                                    bool SFieldKeyword::*pbDefined) {
    std::vector<SToken> tokens;
    std::size_t nPos = 0;
    while (nPos < strFormat.size()) {
        if (strFormat[nPos] == '[') {
            std::size_t nClose = FindClosingBracket(strFormat, nPos + 1);
            if (nClose == std::string_view::npos)
                nClose = strFormat.size();
            SToken token{EToken::Text, {}};
            for (std::size_t i = nPos + 1; i < nClose; ++i)
                if (strFormat[i] != '\\')
                    token.strText += strFormat[i];
            tokens.push_back(std::move(token));
            nPos = nClose + 1;
            continue;
        }
        if (strFormat[nPos] == '|') {
            tokens.push_back({EToken::ColumnBreak, {}});
            ++nPos;
            continue;
        }
        // A keyword this kind does not define is skipped whole, and the rest rendered.
        const std::string_view rest = strFormat.substr(nPos);
        EToken eKind = EToken::Undefined;
        std::size_t nLength = 1;
        for (const SFieldKeyword& keyword : kFieldKeywords) {
            if (rest.starts_with(keyword.strKeyword)) {
                if (keyword.*pbDefined)
                    eKind = keyword.eToken;
                nLength = keyword.strKeyword.size();
                break;
            }
        }
        tokens.push_back({eKind, {}});
        nPos += nLength;
    }
    return tokens;
}

SRenderedText CKWLFormat::Render(const CKWLItem* pItem, int nDepth,
                                 std::string_view strSeparator) const {
    SRenderedText rendered;
    static_cast<SRenderResult&>(rendered) =
        RenderInto(pItem, nDepth, rendered.strText, strSeparator);
    return rendered;
}

SRenderResult CKWLFormat::RenderInto(const CKWLItem* pItem, int nDepth, std::string& strOut,
                                     std::string_view strSeparator,
                                     EFieldQuoting eQuoting) const {
    if (nDepth < 0)
        nDepth = 0;
    if (nDepth < static_cast<int>(m_strIndent.size()))
        strOut += m_strIndent[static_cast<std::size_t>(nDepth)];
    else
        strOut += GetIndent(nDepth);
    // The exact dynamic type: one comparison per line, where a dynamic_cast walks the class
    // hierarchy (a measurable share of listing a large tree).
    if (pItem == nullptr)
        return {};
    if (typeid(*pItem) == typeid(CFileInformation))
        return RenderTokens(m_fileTokens, static_cast<const CFileInformation*>(pItem), nullptr,
                            strSeparator, eQuoting, strOut);
    if (typeid(*pItem) == typeid(CDirInformation))
        return RenderTokens(m_dirTokens, nullptr, static_cast<const CDirInformation*>(pItem),
                            strSeparator, eQuoting, strOut);
    return {};
}

SRenderResult CKWLFormat::RenderTokens(const std::vector<SToken>& tokens,
                                       const CFileInformation* pFile, const CDirInformation* pDir,
                                       std::string_view strSeparator, EFieldQuoting eQuoting,
                                       std::string& strOut) {
    std::size_t nFieldStart = strOut.size();
    SRenderResult result;
    for (const SToken& token : tokens) {
        switch (token.eKind) {
        case EToken::Text:
            strOut += token.strText;
            break;
        case EToken::ColumnBreak:
            if (eQuoting != EFieldQuoting::None)
                QuoteField(strOut, nFieldStart, strSeparator, eQuoting);
            strOut += strSeparator;
            nFieldStart = strOut.size();
            break;
        case EToken::Name:
            // Exact in the tree; shown here without control characters.
            AppendShownName(pFile ? pFile->m_strName : pDir->m_strName, strOut);
            break;
        case EToken::Size:
            AppendNumber(pFile ? pFile->m_nSize : pDir->m_nTotalSize, strOut);
            break;
        case EToken::Creation:
            AppendLocalTime(
                pFile ? pFile->m_timeCreation.GetTime() : pDir->m_timeCreation.GetTime(), strOut);
            break;
        case EToken::Files:
            AppendSigned(pDir->m_nFileCount, strOut);
            break;
        case EToken::ReadOnly:
            strOut += pFile->m_bReadOnly ? 'R' : '-';
            break;
        case EToken::Compressed:
            strOut += pFile->m_bCompressed ? 'C' : '-';
            break;
        case EToken::System:
            strOut += pFile->m_bSystem ? 'S' : '-';
            break;
        case EToken::Hidden:
            strOut += pFile->m_bHidden ? 'H' : '-';
            break;
        case EToken::Archive:
            strOut += pFile->m_bArchive ? 'A' : '-';
            break;
        case EToken::LastAccess:
            AppendLocalTime(pFile->m_timeLastAccess.GetTime(), strOut);
            break;
        case EToken::LastWrite:
            AppendLocalTime(pFile->m_timeLastWrite.GetTime(), strOut);
            break;
        case EToken::Undefined:
            result.bUndefinedField = true;
            break;
        }
    }
    if (eQuoting != EFieldQuoting::None)
        QuoteField(strOut, nFieldStart, strSeparator, eQuoting);
    return result;
}

std::string CKWLFormat::GetIndent(int nDepth) const {
    if (nDepth <= 0)
        return m_strIndent[0];
    const int q = nDepth >= 10 ? (nDepth - 1) / 9 : 0;
    std::string str;
    str.reserve(static_cast<std::size_t>(nDepth) * 2);
    for (int i = 0; i < q; ++i)
        str += m_strIndent[9];
    str += m_strIndent[static_cast<std::size_t>(nDepth - 9 * q)];
    return str;
}

std::string CKWLFormat::FormatTime(CTime time) {
    return FormatLocalTime(time.GetTime());
}

namespace {

template <class TTokens, class TPred> bool AnyToken(const TTokens& tokens, TPred pred) {
    return std::any_of(tokens.begin(), tokens.end(), [&](const auto& token) { return pred(token.eKind); });
}

} // namespace

bool CKWLFormat::NeedsFileStatus() const {
    const auto fromStatus = [](EToken eToken) {
        switch (eToken) {
        case EToken::Size:
        case EToken::Creation:
        case EToken::LastAccess:
        case EToken::LastWrite:
        case EToken::Compressed:
        case EToken::ReadOnly:
            return true;
        default:
            return false;
        }
    };
    return AnyToken(m_fileTokens, fromStatus) ||
           AnyToken(m_dirTokens, [](EToken eToken) { return eToken == EToken::Size; });
}

bool CKWLFormat::NeedsDirectoryEntries() const {
    return AnyToken(m_dirTokens,
                    [](EToken eToken) { return eToken == EToken::Size || eToken == EToken::Files; });
}
