#include <gtest/gtest.h>

#include <set>
#include <string>

#include "platform/Encoding.h"
#include "lang/Language.h"

namespace {

constexpr int kSlots = 60;

// Exact bytes (umlauts spelled out as UTF-8) for entries that callers build output from or
// that are easy to get wrong: blanks at the ends, line feeds, mnemonics, umlauts.
struct SEntry {
    int nIndex;
    const char* pEnglish;
    const char* pGerman;
};

constexpr SEntry kEntries[] = {
    {0, "Info about KWL...",
     "Info \xC3\xBC"
     "ber KWL..."},
    {1, "Version 0.9.1 (23.11.2002)", "Version 0.9.1 (23.11.2002)"},
    {3, "Select &Directory...", "&Verzeichnis ausw\xC3\xA4hlen..."},
    {10, " Step 1 - Set Options: ", " Schritt 1 - Optionen einstellen: "},
    {11, " Step 2 - Select Directory: ", " Schritt 2 - Verzeichnis ausw\xC3\xA4hlen: "},
    {12, " Step 3 - Select Output Format: ", " Schritt 3 - Ausgabeformat einstellen: "},
    {14, "[No Directory Selected]", "[Kein Verzeichnis ausgew\xC3\xA4hlt]"},
    {17, "Complete Output:", "Vollst\xC3\xA4ndige Ausgabe:"},
    {18, "Listing of Directory ", "Inhalt des Verzeichnisses "},
    {19, "Preview (incomplete output):", "Vorschau (gek\xC3\xBCrzte Ausgabe):"},
    {22, "Directory", "Verzeichnis"},
    {25, "Add &Size", "&Gr\xC3\xB6sse hinzuf\xC3\xBCgen"},
    {35, "Add Te&xt before the next information",
     "Text v&or n\xC3\xA4"
     "chste Information"},
    {37, "&Format:", "Format:"},
    {40, "&OK",
     "&\xC3\x9C"
     "bernehmen"},
    {41, "The output format is not valid.", "Das eingestellte Ausgabeformat ist ung\xC3\xBCltig."},
    {42, "Only the following characters are valid:\n", "Es sind nur folgende Zeichen erlaubt:\n"},
    {43, "One of the fields in the output format is not valid.",
     "Im eingestellten Ausgabeformat ist ein Feld ung\xC3\xBCltig."},
    {45, "There was an error\nThe new Format cannot be stored.",
     "Es ist ein Fehler aufgetreten\nDas neue Format kann nicht gespeichert werden."},
    {48, "listing of", "Listing von"},
    {49, "There was an error while writing the file.",
     "Die Datei konnte nicht geschrieben werden."},
    {51, "A separator is needed for the export into a text file.",
     "F\xC3\xBCr den Export in ein Textfile wird ein Separator ben\xC3\xB6tigt."},
    {55, "https://kwl.example/en/sw/kwl/", "https://kwl.example/de/sw/kwl/"},
    {56, "Export", "Exportieren"},
    {57, "", ""},
    {58, "", ""},
    {59, "", ""},
};

TEST(LanguageTest, EntriesHoldTheExactTextOfEachLanguage) {
    const CLanguage english(1);
    const CLanguage german(0);
    for (const SEntry& entry : kEntries) {
        SCOPED_TRACE(entry.nIndex);
        EXPECT_EQ(english.GetText(entry.nIndex), entry.pEnglish);
        EXPECT_EQ(german.GetText(entry.nIndex), entry.pGerman);
    }
}

TEST(LanguageTest, EveryTextIsUtf8AndOnlyTheTwoMessagesHoldALineFeed) {
    for (int nLanguage : {0, 1}) {
        const CLanguage language(nLanguage);
        for (int i = 0; i < kSlots; ++i) {
            SCOPED_TRACE(testing::Message() << "language " << nLanguage << ", entry " << i);
            const std::string strText = language.GetText(i);
            EXPECT_TRUE(IsValidUtf8(strText));
            EXPECT_EQ(strText.find('\r'), std::string::npos);
            const bool bHasFeed = strText.find('\n') != std::string::npos;
            EXPECT_EQ(bHasFeed, i == 42 || i == 45);
        }
    }
}

// A slot missed in one table would show the other language (or nothing) after a switch.
TEST(LanguageTest, LanguagesDifferInEverySlotExceptTheSharedOnes) {
    const CLanguage english(1);
    const CLanguage german(0);
    const std::set<int> shared = {1, 50, 52, 57, 58, 59};
    for (int i = 0; i < kSlots; ++i) {
        SCOPED_TRACE(i);
        if (shared.count(i)) {
            EXPECT_EQ(english.GetText(i), german.GetText(i));
        } else {
            EXPECT_NE(english.GetText(i), german.GetText(i));
        }
        if (i < 57) {
            EXPECT_FALSE(german.GetText(i).empty());
        }
    }
}

TEST(LanguageTest, IndexesOutsideTheSlotsGiveEmptyText) {
    for (int nLanguage : {0, 1}) {
        const CLanguage language(nLanguage);
        for (int nIndex : {59, 60, 61, 1000, -1}) {
            SCOPED_TRACE(testing::Message() << "language " << nLanguage << ", index " << nIndex);
            EXPECT_EQ(language.GetText(nIndex), "");
        }
    }
}

TEST(LanguageTest, ConstructionFillsTheRequestedLanguage) {
    const CLanguage byDefault;
    EXPECT_EQ(byDefault.m_nLanguage, 0);
    EXPECT_EQ(byDefault.GetText(56), "Exportieren");

    const CLanguage english(1);
    EXPECT_EQ(english.m_nLanguage, 1);
    EXPECT_EQ(english.GetText(56), "Export");

    // Nothing fills the slots for an unknown id.
    const CLanguage unknown(7);
    EXPECT_EQ(unknown.m_nLanguage, 7);
    for (int i = 0; i < kSlots; ++i)
        EXPECT_EQ(unknown.GetText(i), "") << i;
}

TEST(LanguageTest, UnknownIdKeepsTextsAndTheNextToggleGivesGerman) {
    CLanguage language(0);
    language.SetLanguage(1);
    language.SetLanguage(2);
    EXPECT_EQ(language.m_nLanguage, 2);
    EXPECT_EQ(language.GetText(56), "Export");
    EXPECT_EQ(language.GetText(9), "&Quit");

    language.ToggleLanguage();
    EXPECT_EQ(language.m_nLanguage, 0);
    EXPECT_EQ(language.GetText(56), "Exportieren");

    language.ToggleLanguage();
    EXPECT_EQ(language.m_nLanguage, 1);
    EXPECT_EQ(language.GetText(56), "Export");
}

TEST(LanguageTest, SwitchingReplacesEveryTextAndSwitchingBackRestoresThem) {
    const CLanguage english(1);
    const CLanguage german(0);
    CLanguage language(0);
    for (int nRound = 0; nRound < 2; ++nRound) {
        language.ToggleLanguage();
        ASSERT_EQ(language.m_nLanguage, 1);
        for (int i = 0; i < kSlots; ++i)
            EXPECT_EQ(language.GetText(i), english.GetText(i))
                << "round " << nRound << ", entry " << i;
        language.ToggleLanguage();
        ASSERT_EQ(language.m_nLanguage, 0);
        for (int i = 0; i < kSlots; ++i)
            EXPECT_EQ(language.GetText(i), german.GetText(i))
                << "round " << nRound << ", entry " << i;
    }
}

} // namespace
