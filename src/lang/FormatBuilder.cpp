#include "lang/FormatBuilder.h"

#include "format/FormatLanguage.h"

// The brackets are taken too: TextElement escapes them.
bool IsAllowedText(std::string_view strText) {
    for (std::size_t nPos = 0; nPos < strText.size();) {
        const bool bBracket = strText[nPos] == '[' || strText[nPos] == ']';
        const std::size_t nLength = bBracket ? 1 : TextCharLength(strText.substr(nPos));
        if (nLength == 0)
            return false;
        nPos += nLength;
    }
    return true;
}

std::string_view Qualifier(bool bDirectories, bool bFiles) {
    if (bDirectories && !bFiles)
        return "D-";
    if (bFiles && !bDirectories)
        return "F-";
    return "";
}

std::string TextElement(std::string_view strText) {
    std::string strElement = "[";
    for (char c : strText) {
        if (c == '[' || c == ']')
            strElement += '\\';
        strElement += c;
    }
    strElement += ']';
    return strElement;
}

void CFormatLineBuilder::AddField(std::string_view strKeyword, bool bDirectories, bool bFiles) {
    Append(Qualifier(bDirectories, bFiles), strKeyword);
    m_bNewColumn = true;
}

void CFormatLineBuilder::AddTextBefore(std::string_view strText, bool bDirectories, bool bFiles) {
    m_bNewColumn = true;
    Append(Qualifier(bDirectories, bFiles), TextElement(strText));
    m_bNewColumn = false;
}

void CFormatLineBuilder::AddText(std::string_view strText, bool bDirectories, bool bFiles) {
    m_bNewColumn = false;
    Append(Qualifier(bDirectories, bFiles), TextElement(strText));
    m_bNewColumn = true;
}

void CFormatLineBuilder::Append(std::string_view strQualifier, std::string_view strElement) {
    if (!m_strLine.empty())
        m_strLine += m_bNewColumn ? '|' : '-';
    m_strLine += strQualifier;
    m_strLine += strElement;
}
