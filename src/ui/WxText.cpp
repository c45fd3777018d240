#include "ui/WxText.h"

#include <algorithm>
#include <string>

#include "platform/Encoding.h"

wxString ToWx(std::string_view strUtf8) {
    if (IsValidUtf8(strUtf8))
        return wxString::FromUTF8(strUtf8.data(), strUtf8.size());
    wxString str;
    str.reserve(strUtf8.size());
    for (std::size_t nPos = 0; nPos < strUtf8.size();) {
        const std::size_t nLen = Utf8CharLength(strUtf8, nPos);
        const std::string_view strChar = strUtf8.substr(nPos, nLen);
        if (IsValidUtf8(strChar))
            str += wxString::FromUTF8(strChar.data(), strChar.size());
        else
            str += wxUniChar(0xFFFD);
        nPos += nLen;
    }
    return str;
}

void AppendToWx(wxString& str, std::string_view strUtf8) {
    const bool bAscii = std::all_of(strUtf8.begin(), strUtf8.end(),
                                    [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (!bAscii) {
        str += ToWx(strUtf8);
        return;
    }
    const std::wstring strWide(strUtf8.begin(), strUtf8.end());
    str.append(strWide.data(), strWide.size());
}

std::string FromWx(const wxString& str) {
    const wxScopedCharBuffer buf = str.utf8_str();
    return std::string(buf.data(), buf.length());
}
