#include "lang/ExportTexts.h"

#include "lang/TextRow.h"

namespace {

using enum EExportText;

constexpr STextRow<EExportText> kTexts[] = {
    {HtmlTable, "HTML table", "HTML-Tabelle"},
    {BrowsablePage, "Browsable HTML page", "Durchsuchbare HTML-Seite"},
};
static_assert(RowsMatchIds(kTexts, Count), "one row per text, in the order of the ids");

} // namespace

const char* ExportText(EExportText eText, ELanguage eLanguage) {
    return TextOf(kTexts, eText, eLanguage);
}
