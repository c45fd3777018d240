#include "lang/Language.h"

#include "lang/TextRow.h"
#include "lang/Version.h"

namespace {

// The same in both languages; the version is stated once, in the top-level CMakeLists.txt.
constexpr const char* kVersionLine = "Version " KWL_VERSION " (" KWL_RELEASE_DATE ")";

// The catalogue: entry, English, German.
constexpr STextRow<ETextId> kCatalogue[] = {
    {kTextAboutItem, "Info about KWL...", "Info über KWL..."},
    {kTextVersion, kVersionLine, kVersionLine},
    {kTextContact, "Contact:", "Kontakt:"},
    {kTextSelectDirectory, "Select &Directory...", "&Verzeichnis auswählen..."},
    {kTextDefineFormat, "Define New &Format...", "&Format definieren..."},
    {kTextComputeList, "Compute &List...", "&Liste erstellen..."},
    {kTextClipboard, "&Clipboard", "&Zwischenablage"},
    {kTextTextfile, "&Textfile", "&Textdatei"},
    {kTextHtmlFile, "&HTML File", "&HTML Datei"},
    {kTextQuit, "&Quit", "&Beenden"},
    {kTextStep1, " Step 1 - Set Options: ", " Schritt 1 - Optionen einstellen: "},
    {kTextStep2, " Step 2 - Select Directory: ", " Schritt 2 - Verzeichnis auswählen: "},
    {kTextStep3, " Step 3 - Select Output Format: ", " Schritt 3 - Ausgabeformat einstellen: "},
    {kTextRecursive, "List Directories &Recursively", "Verzeichnisse &rekursiv ausgeben"},
    {kTextNoDirectory, "[No Directory Selected]", "[Kein Verzeichnis ausgewählt]"},
    {kTextSampleFile, "Sample File Format:", "Beispielformat Datei:"},
    {kTextSampleDirectory, "Sample Directory Format:", "Beispielformat Verzeichnis:"},
    {kTextCompleteOutput, "Complete Output:", "Vollständige Ausgabe:"},
    {kTextHeading, "Listing of Directory ", "Inhalt des Verzeichnisses "},
    {kTextPreviewTitle, "Preview (incomplete output):", "Vorschau (gekürzte Ausgabe):"},
    {kTextDefineCaption, "Define A New Output Format", "Neues Ausgabeformat definieren"},
    {kTextAvailableInfo, "The following information is available for the new format definition:",
     "Folgende Informationen stehen für die Definition des neuen Formates zur Verfügung:"},
    {kTextDirectory, "Directory", "Verzeichnis"},
    {kTextFile, "File", "Datei"},
    {kTextAddName, "Add &Name", "&Name hinzufügen"},
    {kTextAddSize, "Add &Size", "&Grösse hinzufügen"},
    {kTextAddCreation, "Add Cr&eation Time", "Datum der &Erstellung hinzufügen"},
    {kTextAddAccess, "Add last A&ccess Time", "Datum des letzten &Zugriffes hinzufügen"},
    {kTextAddModification, "Add last &Modification Time",
     "Datum der letzten &Veränderung hinzufügen"},
    {kTextAddArchive, "Add &Archive Flag", "A&rchivflag hinzufügen"},
    {kTextAddHidden, "Add &Hidden Flag", "Vers&teckt-Flag hinzufügen"},
    {kTextAddSystem, "Add S&ystem Flag", "&Systemflag hinzufügen"},
    {kTextAddCompression, "Add Com&pression Flag", "&Kompressionsflag hinzufügen"},
    {kTextAddReadOnly, "Add Read&only Flag", "Lesez&ugriff-Flag hinzufügen"},
    {kTextAddFileCount, "Add Num&ber of Files in the Directory",
     "Anza&hl Dateien im Verzeichnis hinzufügen"},
    {kTextAddTextBefore, "Add Te&xt before the next information", "Text v&or nächste Information"},
    {kTextAddText, "Add &Text", "Te&xt hinzufügen"},
    {kTextFormatLabel, "&Format:", "Format:"},
    {kTextCancel, "&Cancel", "&Abbrechen"},
    {kTextClear, "Clea&r", "&Löschen"},
    {kTextOk, "&OK", "&Übernehmen"},
    {kTextFormatInvalid, "The output format is not valid.",
     "Das eingestellte Ausgabeformat ist ungültig."},
    {kTextOnlyCharacters, "Only the following characters are valid:\n",
     "Es sind nur folgende Zeichen erlaubt:\n"},
    {kTextFieldInvalid, "One of the fields in the output format is not valid.",
     "Im eingestellten Ausgabeformat ist ein Feld ungültig."},
    {kTextChooserTitle, "Select Directory...", "Verzeichnis auswählen..."},
    {kTextFormatNotStored, "There was an error\nThe new Format cannot be stored.",
     "Es ist ein Fehler aufgetreten\nDas neue Format kann nicht gespeichert werden."},
    {kTextClipboardFailed, "The text could not be copied to the clipboard.",
     "Der Text konnte nicht in die Zwischenablage kopiert werden."},
    {kTextFilesWord, "Files", "Dateien"},
    {kTextHtmlTitle, "listing of", "Listing von"},
    {kTextWriteError, "There was an error while writing the file.",
     "Die Datei konnte nicht geschrieben werden."},
    {kTextSeparatorCaption, "Separator...", "Separator..."},
    {kTextSeparatorNeeded, "A separator is needed for the export into a text file.",
     "Für den Export in ein Textfile wird ein Separator benötigt."},
    {kTextSeparatorLabel, "Separator:", "Separator:"},
    {kTextSeparatorCancel, "Cancel", "Abbrechen"},
    {kTextStartExport, "Start Export", "Export starten"},
    {kTextWebAddress, "https://kwl.example/en/sw/kwl/", "https://kwl.example/de/sw/kwl/"},
    {kTextExport, "Export", "Exportieren"},
};
static_assert(RowsMatchIds(kCatalogue, kTextCount), "one row per entry, in entry order");

} // namespace

CLanguage::CLanguage(ELanguage eLanguage) {
    SetLanguage(eLanguage);
}

void CLanguage::SetLanguage(ELanguage eLanguage) {
    m_eLanguage = eLanguage;
    if (eLanguage == ELanguage::German || eLanguage == ELanguage::English)
        m_eShown = eLanguage;
}

std::string CLanguage::GetText(ETextId eText) const {
    if (!m_eShown || eText < 0 || eText >= kTextCount)
        return std::string();
    return TextOf(kCatalogue, eText, *m_eShown);
}

void CLanguage::ToggleLanguage() {
    SetLanguage(m_eLanguage == ELanguage::German ? ELanguage::English : ELanguage::German);
}
