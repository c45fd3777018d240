#pragma once

// Texts of the progress window, in the catalogue's two languages (0 German, 1 English). They
// are not among the 60 catalogue entries.
enum class EProgressText {
    ReadingTitle,   // caption while the tree is read
    ListingTitle,   // caption while the listing is built
    EntriesRead,    // "%s entries read"
    LinesListed,    // "%s lines listed"
    Cancel,
    Cancelling,
    ExportTitle,    // caption while an export file or page is prepared
};

// UTF-8; German for language 0, English for every other id.
const char* ProgressText(EProgressText eText, int nLanguage);
