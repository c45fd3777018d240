#pragma once

#include "lang/LanguageId.h"

// Texts of the export file types, in the catalogue's two languages. They are not among the
// catalogue's entries.
enum class EExportText {
    HtmlTable,     // the HTML export's first file type: the page whose table draws the tree
    BrowsablePage, // its second: the page to browse, sort and search in a browser
    Count          // not a text: the number of texts
};

// UTF-8; German for German, English for every other id.
const char* ExportText(EExportText eText, ELanguage eLanguage);
