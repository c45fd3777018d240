#pragma once

#include "lang/LanguageId.h"

// Texts of the progress window, in the catalogue's two languages. They are not among the
// catalogue's entries.
enum class EProgressText {
    ReadingTitle, // caption while the tree is read
    ListingTitle, // caption while the listing is built
    EntriesRead,  // "%s entries read"
    LinesListed,  // "%s lines listed"
    Cancel,
    Cancelling,
    ExportTitle, // caption while an export file or page is prepared
    Count        // not a text: the number of texts
};

// UTF-8; German for German, English for every other id.
const char* ProgressText(EProgressText eText, ELanguage eLanguage);
