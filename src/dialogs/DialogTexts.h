#pragma once

#include <string>

#include "dialogs/DialogTemplate.h"

class CLanguage;
class IDialogView;

// The caption of a dialog in the shown language: its catalogue entry, or its fixed text.
std::string DialogCaption(const SDialogTemplate& dlg, const CLanguage& language);

// Sets the text of every control whose row names a catalogue entry (at start-up and on every
// language switch).
void ApplyTemplateTexts(IDialogView& view, const SDialogTemplate& dlg, const CLanguage& language);
