#pragma once

#include <string>
#include <string_view>

#include "lang/LanguageId.h"

// What a screen reader reads for the controls that carry no label of their own (AT-SPI names)
// and the tooltips of the definition dialog's check boxes. Texts of ours in both languages,
// beside the catalogue; names are made of catalogue texts wherever the dialog shows one.
enum class EAccessibleText {
    Preview,     // the main dialog's preview box
    FlagGerman,  // the flag that switches to German
    FlagEnglish, // the flag that switches to English
    DirBoxTip,   // "%1" is the row's add button
    FileBoxTip,
    Count // not a text: the number of texts
};

// UTF-8; German for German, English for every other id.
const char* AccessibleText(EAccessibleText eText, ELanguage eLanguage);

// A catalogue text as a name: without its "&" mnemonic marks ("&&" stays one "&"), the spaces
// around it and a final colon. " Step 3 - Select Output Format: " -> "Step 3 - Select Output
// Format".
std::string NameFromLabel(std::string_view strLabel);

// A control named by the texts around it: "Directory: Add Name", "Sample File Format: Name.ext".
std::string NameBeside(std::string_view strLabel, std::string_view strWhat);
