#include "ScanMessages.h"

#include <cstddef>
#include <string_view>

#include "lang/TextRow.h"

namespace {

enum class EScanText { CannotRead, Count };

// %1 is the path, %2 the reason.
constexpr STextRow<EScanText> kTexts[] = {
    {EScanText::CannotRead, "cannot read '%1': %2", "'%1' kann nicht gelesen werden: %2"},
};
static_assert(RowsMatchIds(kTexts, EScanText::Count), "one row per text, in the order of the ids");

} // namespace

std::string ScanErrorMessage(ELanguage eLanguage, const std::string& strPath,
                             const std::string& strReason) {
    const std::string_view strPattern = TextOf(kTexts, EScanText::CannotRead, eLanguage);
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
