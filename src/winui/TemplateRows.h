#pragma once

#include <string>

#include "dialogs/DialogTemplate.h"
#include "winui/DialogBuilder.h"

class CLanguage;

// A template row as a Windows control: the window class and styles of its kind, its flags as
// WS_TABSTOP / WS_DISABLED / (not) WS_VISIBLE, its text from the catalogue in the shown
// language or its fixed text.
SDialogItem DialogItemOf(const SControlTemplate& row, const CLanguage& language);

// The whole dialog, captioned in the shown language.
CDialogBuilder BuildDialog(const SDialogTemplate& dlg, const CLanguage& language, DWORD dwStyle);

// The text of a row as its control shows it.
std::string RowText(const SControlTemplate& row, const CLanguage& language);
