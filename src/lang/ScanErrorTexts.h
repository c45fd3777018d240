#pragma once

#include <span>
#include <string>

#include "lang/LanguageId.h"
#include "model/ScanError.h"

// How many paths the message names; the rest are counted.
inline constexpr std::size_t kShownScanErrors = 10;

// The main dialog's one message after a rebuild that recorded directories it could not read
// completely: how many, the first kShownScanErrors of their paths (control characters as "?"),
// "...and N more" for the rest, and that the tree is kept. Texts of ours, not the catalogue's;
// UTF-8, except that a path keeps any bytes that are not.
std::string UnreadableDirectoriesMessage(ELanguage eLanguage, std::span<const SScanError> errors);
