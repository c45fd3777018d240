#pragma once

#include <string>

// Where the desktop program keeps formats.def: $XDG_CONFIG_HOME/kwl/, or ~/.config/kwl/ when
// the variable is unset or not absolute. Creates the folder when it is missing (a failure
// shows later, when formats.def cannot be written). Returns the file's full path.
std::string PrepareFormatsPath();
// The same path, without creating anything.
std::string FormatsFilePath();
