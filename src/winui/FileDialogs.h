#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

// The shell's own dialogs (IFileOpenDialog, IFileSaveDialog); paths in UTF-8.

// The folder the user picked, none when cancelled. strStart: the folder shown first (may be
// empty).
std::optional<std::string> ChooseFolder(HWND hOwner, const std::string& strStart);

struct SFileType {
    std::string strName;    // "Text files (*.txt)"
    std::string strPattern; // "*.txt"
};

struct SSavePath {
    std::string strPath;
    int nFileType = 0; // index into the types offered
};

// The save dialog proposing strName, asking before it overwrites; the extension of the chosen
// type is added to a name typed without one. None when cancelled.
std::optional<SSavePath> AskSavePath(HWND hOwner, const std::string& strName,
                                     const std::vector<SFileType>& types);
