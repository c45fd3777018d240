#pragma once

#include <string_view>

// The characters that separate the components of a path: "/" on Linux (where "\" is an
// ordinary character of a name), "\" and "/" on Windows.
std::string_view PathSeparators();
