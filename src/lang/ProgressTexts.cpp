#include "lang/ProgressTexts.h"

namespace {

struct SPair {
    const char* pszEnglish;
    const char* pszGerman;
};

constexpr SPair kTexts[] = {
    {"Reading the directory...", "Verzeichnis wird gelesen..."},
    {"Computing the list...", "Liste wird erstellt..."},
    {"%s entries read", "%s Einträge gelesen"},
    {"%s lines listed", "%s Zeilen erstellt"},
    {"Cancel", "Abbrechen"},
    {"Cancelling...", "Wird abgebrochen..."},
    {"Preparing the export...", "Export wird vorbereitet..."},
};

} // namespace

const char* ProgressText(EProgressText eText, int nLanguage) {
    const SPair& pair = kTexts[static_cast<int>(eText)];
    return nLanguage == 0 ? pair.pszGerman : pair.pszEnglish;
}
