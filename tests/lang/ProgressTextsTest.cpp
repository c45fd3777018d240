#include <gtest/gtest.h>

#include <string>

#include "lang/ProgressTexts.h"

namespace {

TEST(ProgressTextsTest, EveryTextInBothLanguages) {
    struct SCase {
        EProgressText eText;
        const char* pszEnglish;
        const char* pszGerman;
    };
    const SCase cases[] = {
        {EProgressText::ReadingTitle, "Reading the directory...", "Verzeichnis wird gelesen..."},
        {EProgressText::ListingTitle, "Computing the list...", "Liste wird erstellt..."},
        {EProgressText::EntriesRead, "%s entries read", "%s Eintr\xC3\xA4ge gelesen"},
        {EProgressText::LinesListed, "%s lines listed", "%s Zeilen erstellt"},
        {EProgressText::Cancel, "Cancel", "Abbrechen"},
        {EProgressText::Cancelling, "Cancelling...", "Wird abgebrochen..."},
        {EProgressText::ExportTitle, "Preparing the export...", "Export wird vorbereitet..."},
    };
    static_assert(std::size(cases) == static_cast<std::size_t>(EProgressText::Count));
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.pszEnglish);
        EXPECT_EQ(std::string(ProgressText(c.eText, ELanguage::English)), c.pszEnglish);
        EXPECT_EQ(std::string(ProgressText(c.eText, ELanguage::German)), c.pszGerman);
        // A stored id of neither language: English.
        EXPECT_EQ(std::string(ProgressText(c.eText, LanguageFromId(7))), c.pszEnglish);
    }
}

} // namespace
