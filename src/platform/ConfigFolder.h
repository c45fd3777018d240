#pragma once

#include <string>
#include <string_view>

// The folder where KWL keeps its settings (formats.def): on Linux $XDG_CONFIG_HOME/kwl/, or
// ~/.config/kwl/ when the variable is unset or not absolute; on Windows %APPDATA%\kwl\.
std::string ConfigFolder();
// The file strName in that folder, with the system's separator.
std::string ConfigFilePath(std::string_view strName);
