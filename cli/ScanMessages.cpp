#include "ScanMessages.h"

#include <array>
#include <string_view>

namespace {

// %1 is the path, %2 the reason; indexed by the catalogue's language id.
constexpr std::array<std::string_view, 2> kCannotRead = {
    "'%1' kann nicht gelesen werden: %2", // German
    "cannot read '%1': %2",               // English
};

} // namespace

std::string ScanErrorMessage(int nLanguage, const std::string& strPath,
                             const std::string& strReason) {
    const std::string_view strPattern = kCannotRead[nLanguage == 0 ? 0 : 1];
    std::string strOut;
    for (std::size_t i = 0; i < strPattern.size(); ++i) {
        if (strPattern[i] == '%' && i + 1 < strPattern.size()) {
            if (strPattern[i + 1] == '1' || strPattern[i + 1] == '2') {
                strOut += strPattern[i + 1] == '1' ? strPath : strReason;
                ++i;
                continue;
            }
        }
        strOut += strPattern[i];
    }
    return strOut;
}
