#include "lang/Language.h"

#include <cstddef>

namespace {

// Slots 0 to 56; 57 to 59 are always empty.
constexpr std::size_t kFilledSlots = 57;

constexpr std::array<const char*, kFilledSlots> kEnglish = {
    "Info about KWL...",
    "Version 0.9.1 (23.11.2002)",
    "Contact:",
    "Select &Directory...",
    "Define New &Format...",
    "Compute &List...",
    "&Clipboard",
    "&Textfile",
    "&HTML File",
    "&Quit",
    " Step 1 - Set Options: ",
    " Step 2 - Select Directory: ",
    " Step 3 - Select Output Format: ",
    "List Directories &Recursively",
    "[No Directory Selected]",
    "Sample File Format:",
    "Sample Directory Format:",
    "Complete Output:",
    "Listing of Directory ",
    "Preview (incomplete output):",
    "Define A New Output Format",
    "The following information is available for the new format definition:",
    "Directory",
    "File",
    "Add &Name",
    "Add &Size",
    "Add Cr&eation Time",
    "Add last A&ccess Time",
    "Add last &Modification Time",
    "Add &Archive Flag",
    "Add &Hidden Flag",
    "Add S&ystem Flag",
    "Add Com&pression Flag",
    "Add Read&only Flag",
    "Add Num&ber of Files in the Directory",
    "Add Te&xt before the next information",
    "Add &Text",
    "&Format:",
    "&Cancel",
    "Clea&r",
    "&OK",
    "The output format is not valid.",
    "Only the following characters are valid:\n",
    "One of the fields in the output format is not valid.",
    "Select Directory...",
    "There was an error\nThe new Format cannot be stored.",
    "The text could not be copied to the clipboard.",
    "Files",
    "listing of",
    "There was an error while writing the file.",
    "Separator...",
    "A separator is needed for the export into a text file.",
    "Separator:",
    "Cancel",
    "Start Export",
    "https://kwl.example/en/sw/kwl/",
    "Export",
};

constexpr std::array<const char*, kFilledSlots> kGerman = {
    "Info über KWL...",
    "Version 0.9.1 (23.11.2002)",
    "Kontakt:",
    "&Verzeichnis auswählen...",
    "&Format definieren...",
    "&Liste erstellen...",
    "&Zwischenablage",
    "&Textdatei",
    "&HTML Datei",
    "&Beenden",
    " Schritt 1 - Optionen einstellen: ",
    " Schritt 2 - Verzeichnis auswählen: ",
    " Schritt 3 - Ausgabeformat einstellen: ",
    "Verzeichnisse &rekursiv ausgeben",
    "[Kein Verzeichnis ausgewählt]",
    "Beispielformat Datei:",
    "Beispielformat Verzeichnis:",
    "Vollständige Ausgabe:",
    "Inhalt des Verzeichnisses ",
    "Vorschau (gekürzte Ausgabe):",
    "Neues Ausgabeformat definieren",
    "Folgende Informationen stehen für die Definition des neuen Formates zur Verfügung:",
    "Verzeichnis",
    "Datei",
    "&Name hinzufügen",
    "&Grösse hinzufügen",
    "Datum der &Erstellung hinzufügen",
    "Datum des letzten &Zugriffes hinzufügen",
    "Datum der letzten &Veränderung hinzufügen",
    "A&rchivflag hinzufügen",
    "Vers&teckt-Flag hinzufügen",
    "&Systemflag hinzufügen",
    "&Kompressionsflag hinzufügen",
    "Lesez&ugriff-Flag hinzufügen",
    "Anza&hl Dateien im Verzeichnis hinzufügen",
    "Text v&or nächste Information",
    "Te&xt hinzufügen",
    "Format:",
    "&Abbrechen",
    "&Löschen",
    "&Übernehmen",
    "Das eingestellte Ausgabeformat ist ungültig.",
    "Es sind nur folgende Zeichen erlaubt:\n",
    "Im eingestellten Ausgabeformat ist ein Feld ungültig.",
    "Verzeichnis auswählen...",
    "Es ist ein Fehler aufgetreten\nDas neue Format kann nicht gespeichert werden.",
    "Der Text konnte nicht in die Zwischenablage kopiert werden.",
    "Dateien",
    "Listing von",
    "Die Datei konnte nicht geschrieben werden.",
    "Separator...",
    "Für den Export in ein Textfile wird ein Separator benötigt.",
    "Separator:",
    "Abbrechen",
    "Export starten",
    "https://kwl.example/de/sw/kwl/",
    "Exportieren",
};

} // namespace

CLanguage::CLanguage(int nLanguage) {
    SetLanguage(nLanguage);
}

CLanguage::~CLanguage() = default;

void CLanguage::SetLanguage(int nLanguage) {
    m_nLanguage = nLanguage;
    if (nLanguage != 0 && nLanguage != 1)
        return;
    const auto& table = nLanguage == 1 ? kEnglish : kGerman;
    // Every slot is replaced, so no text of the other language can survive a switch.
    for (std::size_t i = 0; i < m_strText.size(); ++i)
        m_strText[i] = i < table.size() ? table[i] : "";
}

std::string CLanguage::GetText(int nIndex) const {
    if (nIndex < 0 || static_cast<std::size_t>(nIndex) >= m_strText.size())
        return std::string();
    return m_strText[static_cast<std::size_t>(nIndex)];
}

void CLanguage::ToggleLanguage() {
    SetLanguage(m_nLanguage == 0 ? 1 : 0);
}
