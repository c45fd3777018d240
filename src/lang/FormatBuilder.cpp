#include "lang/FormatBuilder.h"

#include <algorithm>
#include <array>

#include "platform/Encoding.h"

namespace {

// ä ö ü Ä Ö Ü in UTF-8.
constexpr std::array<std::string_view, 6> kUmlauts = {"\xC3\xA4", "\xC3\xB6", "\xC3\xBC",
                                                      "\xC3\x84", "\xC3\x96", "\xC3\x9C"};

bool IsAllowedAscii(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '(' ||
           c == ')' || c == '[' || c == ']' || c == ' ' || c == ':';
}

bool IsAllowedCharacter(std::string_view strChar) {
    if (strChar.size() == 1)
        return IsAllowedAscii(strChar[0]);
    return std::find(kUmlauts.begin(), kUmlauts.end(), strChar) != kUmlauts.end();
}

} // namespace

bool IsAllowedText(std::string_view strText) {
    for (std::size_t nPos = 0; nPos < strText.size();) {
        const std::size_t nLen = Utf8CharLength(strText, nPos);
        if (!IsAllowedCharacter(strText.substr(nPos, nLen)))
            return false;
        nPos += nLen;
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
