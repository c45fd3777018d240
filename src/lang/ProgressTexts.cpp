#include "lang/ProgressTexts.h"

#include "lang/TextRow.h"

namespace {

using enum EProgressText;

constexpr STextRow<EProgressText> kTexts[] = {
    {ReadingTitle, "Reading the directory...", "Verzeichnis wird gelesen..."},
    {ListingTitle, "Computing the list...", "Liste wird erstellt..."},
    {EntriesRead, "%s entries read", "%s Einträge gelesen"},
    {LinesListed, "%s lines listed", "%s Zeilen erstellt"},
    {Cancel, "Cancel", "Abbrechen"},
    {Cancelling, "Cancelling...", "Wird abgebrochen..."},
    {ExportTitle, "Preparing the export...", "Export wird vorbereitet..."},
};
static_assert(RowsMatchIds(kTexts, Count), "one row per text, in the order of the ids");

} // namespace

const char* ProgressText(EProgressText eText, ELanguage eLanguage) {
    return TextOf(kTexts, eText, eLanguage);
}

std::string ProgressCountText(EProgressText eCount, std::uint64_t nCount, ELanguage eLanguage) {
    const char cSeparator = eLanguage == ELanguage::German ? '.' : ',';
    std::string strDigits = std::to_string(nCount);
    for (int nPos = static_cast<int>(strDigits.size()) - 3; nPos > 0; nPos -= 3)
        strDigits.insert(static_cast<std::size_t>(nPos), 1, cSeparator);
    std::string strText = ProgressText(eCount, eLanguage);
    if (const std::size_t nAt = strText.find("%s"); nAt != std::string::npos)
        strText.replace(nAt, 2, strDigits);
    return strText;
}
