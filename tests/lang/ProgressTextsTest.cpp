#include <gtest/gtest.h>

#include <cstdint>
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

// The count in digit groups of the language, at the place of %s; short counts have no group.
TEST(ProgressTextsTest, CountTextGroupsTheDigitsOfTheLanguage) {
    struct SCase {
        EProgressText eText;
        std::uint64_t nCount;
        ELanguage eLanguage;
        const char* pszExpected;
    };
    const SCase cases[] = {
        {EProgressText::EntriesRead, 0, ELanguage::English, "0 entries read"},
        {EProgressText::EntriesRead, 999, ELanguage::English, "999 entries read"},
        {EProgressText::EntriesRead, 1000, ELanguage::English, "1,000 entries read"},
        {EProgressText::EntriesRead, 1234567, ELanguage::German,
         "1.234.567 Eintr\xC3\xA4ge gelesen"},
        {EProgressText::LinesListed, 18446744073709551615u, ELanguage::English,
         "18,446,744,073,709,551,615 lines listed"},
        {EProgressText::LinesListed, 100000, ELanguage::German, "100.000 Zeilen erstellt"},
    };
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.pszExpected);
        EXPECT_EQ(ProgressCountText(c.eText, c.nCount, c.eLanguage), c.pszExpected);
    }
}

} // namespace
