#pragma once

#include <string>

#include "lang/LanguageId.h"

// What kwl says on standard error when its window cannot open, in the catalogue's two
// languages. Not among the catalogue's entries.

// kwl's exit status when there is no display to open the window on.
inline constexpr int kExitNoDisplay = 1;

// The lines to print when no graphical session can be reached: that the window needs one and
// that kwl-list works without. UTF-8, ending in a line feed.
std::string NoDisplayMessage(ELanguage eLanguage);
