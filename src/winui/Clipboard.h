#pragma once

#include <windows.h>

#include <string_view>

// Puts strUtf8 on the clipboard as CF_UNICODETEXT, and as CF_TEXT in Windows-1252 for programs
// that read only that (a character 1252 lacks becomes "?"). Line ends become CR LF, as
// Windows programs expect them. False when the clipboard could not be opened or took nothing.
bool CopyToClipboard(HWND hOwner, std::string_view strUtf8);
