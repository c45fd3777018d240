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
