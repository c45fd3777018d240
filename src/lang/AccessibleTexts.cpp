#include "lang/AccessibleTexts.h"

#include "lang/TextRow.h"

namespace {

using enum EAccessibleText;

constexpr STextRow<EAccessibleText> kTexts[] = {
    {Preview, "Preview of the listing", "Vorschau der Liste"},
    {FlagGerman, "German", "Deutsch"},
    {FlagEnglish, "English", "Englisch"},
    {DirBoxTip, "Tick to give directories this information, then press \"%1\"",
     "Ankreuzen, damit Verzeichnisse diese Information erhalten, dann \"%1\" drücken"},
    {FileBoxTip, "Tick to give files this information, then press \"%1\"",
     "Ankreuzen, damit Dateien diese Information erhalten, dann \"%1\" drücken"},
};
static_assert(RowsMatchIds(kTexts, Count), "one row per text, in the order of the ids");

// The two parts of a name made from a label and what it labels.
constexpr std::string_view kNameSeparator = ": ";

} // namespace

const char* AccessibleText(EAccessibleText eText, ELanguage eLanguage) {
    return TextOf(kTexts, eText, eLanguage);
}

std::string NameFromLabel(std::string_view strLabel) {
    std::string strName;
    for (std::size_t i = 0; i < strLabel.size(); ++i) {
        if (strLabel[i] == '&' && i + 1 < strLabel.size())
            ++i; // "&x" is x, "&&" is "&"
        strName += strLabel[i];
    }
    const std::size_t nFirst = strName.find_first_not_of(' ');
    if (nFirst == std::string::npos)
        return {};
    strName.erase(0, nFirst);
    while (!strName.empty() && (strName.back() == ' ' || strName.back() == ':'))
        strName.pop_back();
    return strName;
}

std::string NameBeside(std::string_view strLabel, std::string_view strWhat) {
    std::string strName = NameFromLabel(strLabel);
    strName += kNameSeparator;
    strName += strWhat;
    return strName;
}
