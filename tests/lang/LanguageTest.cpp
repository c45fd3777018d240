#include <gtest/gtest.h>

#include <set>
#include <string>

#include "lang/Language.h"
#include "lang/TextId.h"
#include "platform/Encoding.h"

namespace {

// The catalogue's slots: the named entries, then empty ones up to 60.
constexpr int kSlots = 60;

// A slot by its number, also one that no entry names.
ETextId Slot(int nSlot) {
    return static_cast<ETextId>(nSlot);
}

// Exact bytes (umlauts spelled out as UTF-8) for entries that callers build output from or
// that are easy to get wrong: blanks at the ends, line feeds, mnemonics, umlauts.
struct SEntry {
    ETextId eText;
    const char* pEnglish;
    const char* pGerman;
};

const SEntry kEntries[] = {
    {kTextAboutItem, "Info about KWL...",
     "Info \xC3\xBC"
     "ber KWL..."},
    {kTextVersion, "Version 0.9.1 (23.11.2002)", "Version 0.9.1 (23.11.2002)"},
    {kTextSelectDirectory, "Select &Directory...", "&Verzeichnis ausw\xC3\xA4hlen..."},
    {kTextStep1, " Step 1 - Set Options: ", " Schritt 1 - Optionen einstellen: "},
    {kTextStep2, " Step 2 - Select Directory: ", " Schritt 2 - Verzeichnis ausw\xC3\xA4hlen: "},
    {kTextStep3, " Step 3 - Select Output Format: ", " Schritt 3 - Ausgabeformat einstellen: "},
    {kTextNoDirectory, "[No Directory Selected]", "[Kein Verzeichnis ausgew\xC3\xA4hlt]"},
    {kTextCompleteOutput, "Complete Output:", "Vollst\xC3\xA4ndige Ausgabe:"},
    {kTextHeading, "Listing of Directory ", "Inhalt des Verzeichnisses "},
    {kTextPreviewTitle, "Preview (incomplete output):", "Vorschau (gek\xC3\xBCrzte Ausgabe):"},
    {kTextDirectory, "Directory", "Verzeichnis"},
    {kTextAddSize, "Add &Size", "&Gr\xC3\xB6sse hinzuf\xC3\xBCgen"},
    {kTextAddTextBefore, "Add Te&xt before the next information",
     "Text v&or n\xC3\xA4"
     "chste Information"},
    {kTextFormatLabel, "&Format:", "Format:"},
    {kTextOk, "&OK",
     "&\xC3\x9C"
     "bernehmen"},
    {kTextFormatInvalid, "The output format is not valid.",
     "Das eingestellte Ausgabeformat ist ung\xC3\xBCltig."},
    {kTextOnlyCharacters, "Only the following characters are valid:\n",
     "Es sind nur folgende Zeichen erlaubt:\n"},
    {kTextFieldInvalid, "One of the fields in the output format is not valid.",
     "Im eingestellten Ausgabeformat ist ein Feld ung\xC3\xBCltig."},
    {kTextFormatNotStored, "There was an error\nThe new Format cannot be stored.",
     "Es ist ein Fehler aufgetreten\nDas neue Format kann nicht gespeichert werden."},
    {kTextHtmlTitle, "listing of", "Listing von"},
    {kTextWriteError, "There was an error while writing the file.",
     "Die Datei konnte nicht geschrieben werden."},
    {kTextSeparatorNeeded, "A separator is needed for the export into a text file.",
     "F\xC3\xBCr den Export in ein Textfile wird ein Separator ben\xC3\xB6tigt."},
    {kTextWebAddress, "https://kwl.example/en/sw/kwl/", "https://kwl.example/de/sw/kwl/"},
    {kTextExport, "Export", "Exportieren"},
    {Slot(57), "", ""},
    {Slot(58), "", ""},
    {Slot(59), "", ""},
};

TEST(LanguageTest, EntriesHoldTheExactTextOfEachLanguage) {
    const CLanguage english(ELanguage::English);
    const CLanguage german(ELanguage::German);
    for (const SEntry& entry : kEntries) {
        SCOPED_TRACE(entry.eText);
        EXPECT_EQ(english.GetText(entry.eText), entry.pEnglish);
        EXPECT_EQ(german.GetText(entry.eText), entry.pGerman);
    }
}

TEST(LanguageTest, EveryTextIsUtf8AndOnlyTheTwoMessagesHoldALineFeed) {
    for (ELanguage eLanguage : {ELanguage::German, ELanguage::English}) {
        const CLanguage language(eLanguage);
        for (int i = 0; i < kSlots; ++i) {
            SCOPED_TRACE(testing::Message()
                         << "language " << LanguageId(eLanguage) << ", entry " << i);
            const std::string strText = language.GetText(Slot(i));
            EXPECT_TRUE(IsValidUtf8(strText));
            EXPECT_EQ(strText.find('\r'), std::string::npos);
            const bool bHasFeed = strText.find('\n') != std::string::npos;
            EXPECT_EQ(bHasFeed, Slot(i) == kTextOnlyCharacters || Slot(i) == kTextFormatNotStored);
        }
    }
}

// A slot missed in one language would show the other language (or nothing) after a switch.
TEST(LanguageTest, LanguagesDifferInEverySlotExceptTheSharedOnes) {
    const CLanguage english(ELanguage::English);
    const CLanguage german(ELanguage::German);
    const std::set<ETextId> shared = {
        kTextVersion, kTextSeparatorCaption, kTextSeparatorLabel, Slot(57), Slot(58), Slot(59)};
    for (int i = 0; i < kSlots; ++i) {
        SCOPED_TRACE(i);
        if (shared.count(Slot(i))) {
            EXPECT_EQ(english.GetText(Slot(i)), german.GetText(Slot(i)));
        } else {
            EXPECT_NE(english.GetText(Slot(i)), german.GetText(Slot(i)));
        }
        if (i < kTextCount) {
            EXPECT_FALSE(german.GetText(Slot(i)).empty());
        }
    }
}

TEST(LanguageTest, IndexesOutsideTheSlotsGiveEmptyText) {
    for (ELanguage eLanguage : {ELanguage::German, ELanguage::English}) {
        const CLanguage language(eLanguage);
        for (int nIndex : {59, 60, 61, 1000, -1}) {
            SCOPED_TRACE(testing::Message()
                         << "language " << LanguageId(eLanguage) << ", index " << nIndex);
            EXPECT_EQ(language.GetText(Slot(nIndex)), "");
        }
    }
}

TEST(LanguageTest, ConstructionFillsTheRequestedLanguage) {
    const CLanguage byDefault;
    EXPECT_EQ(byDefault.GetLanguage(), ELanguage::German);
    EXPECT_EQ(byDefault.GetText(kTextExport), "Exportieren");

    const CLanguage english(ELanguage::English);
    EXPECT_EQ(english.GetLanguage(), ELanguage::English);
    EXPECT_EQ(english.GetText(kTextExport), "Export");

    // Nothing fills the slots for an unknown id, and the id is kept as it came.
    const CLanguage unknown(LanguageFromId(7));
    EXPECT_EQ(LanguageId(unknown.GetLanguage()), 7);
    for (int i = 0; i < kSlots; ++i)
        EXPECT_EQ(unknown.GetText(Slot(i)), "") << i;
}

TEST(LanguageTest, UnknownIdKeepsTextsAndTheNextToggleGivesGerman) {
    CLanguage language(ELanguage::German);
    language.SetLanguage(ELanguage::English);
    language.SetLanguage(LanguageFromId(2));
    EXPECT_EQ(LanguageId(language.GetLanguage()), 2);
    EXPECT_EQ(language.GetText(kTextExport), "Export");
    EXPECT_EQ(language.GetText(kTextQuit), "&Quit");

    language.ToggleLanguage();
    EXPECT_EQ(language.GetLanguage(), ELanguage::German);
    EXPECT_EQ(language.GetText(kTextExport), "Exportieren");

    language.ToggleLanguage();
    EXPECT_EQ(language.GetLanguage(), ELanguage::English);
    EXPECT_EQ(language.GetText(kTextExport), "Export");
}

TEST(LanguageTest, SwitchingReplacesEveryTextAndSwitchingBackRestoresThem) {
    const CLanguage english(ELanguage::English);
    const CLanguage german(ELanguage::German);
    CLanguage language(ELanguage::German);
    for (int nRound = 0; nRound < 2; ++nRound) {
        language.ToggleLanguage();
        ASSERT_EQ(language.GetLanguage(), ELanguage::English);
        for (int i = 0; i < kSlots; ++i)
            EXPECT_EQ(language.GetText(Slot(i)), english.GetText(Slot(i)))
                << "round " << nRound << ", entry " << i;
        language.ToggleLanguage();
        ASSERT_EQ(language.GetLanguage(), ELanguage::German);
        for (int i = 0; i < kSlots; ++i)
            EXPECT_EQ(language.GetText(Slot(i)), german.GetText(Slot(i)))
                << "round " << nRound << ", entry " << i;
    }
}

// The stored ids of formats.def.
TEST(LanguageTest, LanguagesAreTheStoredIds) {
    EXPECT_EQ(LanguageId(ELanguage::German), 0);
    EXPECT_EQ(LanguageId(ELanguage::English), 1);
    for (int nId : {0, 1, 2, -3})
        EXPECT_EQ(LanguageId(LanguageFromId(nId)), nId);
}

} // namespace
