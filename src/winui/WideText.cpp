#include "winui/WideText.h"

#include "platform/Wtf8.h"

// wchar_t is UTF-16 on Windows: the two string types hold the same code units.
std::wstring Wide(std::string_view strUtf8) {
    const std::u16string str16 = Utf16FromWtf8(strUtf8);
    return std::wstring(str16.begin(), str16.end());
}

std::string Utf8(std::wstring_view strWide) {
    return Wtf8FromUtf16(
        std::u16string_view(reinterpret_cast<const char16_t*>(strWide.data()), strWide.size()));
}

namespace {

template <class TChar> std::basic_string<TChar> CrLfOf(std::basic_string_view<TChar> strText) {
    std::basic_string<TChar> strOut;
    strOut.reserve(strText.size() + strText.size() / 32);
    for (std::size_t i = 0; i < strText.size(); ++i) {
        if (strText[i] == TChar('\n') && (i == 0 || strText[i - 1] != TChar('\r')))
            strOut += TChar('\r');
        strOut += strText[i];
    }
    return strOut;
}

} // namespace

std::wstring WithCrLf(std::wstring_view strText) {
    return CrLfOf(strText);
}

std::string WithCrLf(std::string_view strText) {
    return CrLfOf(strText);
}
