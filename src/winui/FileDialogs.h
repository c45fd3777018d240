#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "dialogs/MainView.h"

// The shell's own dialogs (IFileOpenDialog, IFileSaveDialog); paths in UTF-8.

// The folder the user picked, none when cancelled; strTitle captions the chooser.
std::optional<std::string> ChooseFolder(HWND hOwner, const std::string& strTitle);

// The save dialog proposing strName, asking before it overwrites; the extension of the chosen
// type is added to a name typed without one. None when cancelled.
std::optional<SSaveChoice> AskSavePath(HWND hOwner, const std::string& strName,
                                       const std::vector<SFileType>& types);
