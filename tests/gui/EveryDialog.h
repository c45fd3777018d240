#pragma once

// Every dialog of the program, opened in one language, for checks that hold for all of them
// (texts that fit, names a screen reader reads).

#include <wx/window.h>

#include <functional>
#include <string>

#include "lang/Language.h"

// Opens each dialog in turn (main dialog, format definition, separator, About box, progress
// window), shown without a modal loop, hands it with its name to fnCheck, and closes it. The
// main dialog starts from formats.def at strFormatsPath, which is overwritten with the language
// line of eLanguage and one format.
void ForEveryDialog(const std::string& strFormatsPath, ELanguage eLanguage,
                    const std::function<void(const std::string& strName, wxWindow& dlg)>& fnCheck);
