#include <gtest/gtest.h>

#include <string>

#include "lang/AccessibleTexts.h"
#include "lang/Language.h"
#include "lang/TextId.h"

namespace {

TEST(AccessibleTextsTest, NamesFromCatalogueLabels) {
    struct SCase {
        const char* pszLabel;
        const char* pszName;
    };
    const SCase cases[] = {
        {" Step 3 - Select Output Format: ", "Step 3 - Select Output Format"},
        {"Add last A&ccess Time", "Add last Access Time"},
        {"&Format:", "Format"},
        {"Rock && Roll", "Rock & Roll"}, // a doubled mark is the character itself
        {"A&", "A&"},                    // a mark with nothing after it stays
        {"  :", ""},
        {"", ""},
    };
    for (const SCase& c : cases)
        EXPECT_EQ(NameFromLabel(c.pszLabel), c.pszName) << c.pszLabel;
}

// Names of a control without a label: its column or label, then what it does or shows.
TEST(AccessibleTextsTest, NamesBesideALabelInBothLanguages) {
    const CLanguage english(ELanguage::English);
    const CLanguage german(ELanguage::German);
    EXPECT_EQ(
        NameBeside(english.GetText(kTextDirectory), NameFromLabel(english.GetText(kTextAddName))),
        "Directory: Add Name");
    EXPECT_EQ(
        NameBeside(german.GetText(kTextFile), NameFromLabel(german.GetText(kTextAddCreation))),
        "Datei: Datum der Erstellung hinzuf\xC3\xBCgen");
    EXPECT_EQ(NameBeside(english.GetText(kTextSampleFile), "Name.ext"),
              "Sample File Format: Name.ext");
    EXPECT_STREQ(AccessibleText(EAccessibleText::FlagEnglish, ELanguage::German), "Englisch");
    EXPECT_STREQ(AccessibleText(EAccessibleText::FlagEnglish, LanguageFromId(7)), "English");
}

} // namespace
