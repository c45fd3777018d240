#pragma once

#include <windows.h>

#include <span>

#include "dialogs/DialogTemplate.h"

// Where the font draws wider than the templates were made for (Wine's dialog font takes about
// a sixth more room than Windows'): a label, check box or button whose text does not fit its
// row's width is widened to the text, up to the next control on its right or the edge of the
// frame it lies in. Every other control keeps its row's size; widths follow the texts shown
// now (a shorter text after a language switch gives the room back).
void FitTextsToFont(HWND hDlg, std::span<const SControlTemplate> rows);
