#include "ui/WxText.h"

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

std::string FromWx(const wxString& str) {
    const wxScopedCharBuffer buf = str.utf8_str();
    return std::string(buf.data(), buf.length());
}
