#pragma once

#include <string_view>

// Writes all of strBytes to nFd unchanged, resuming after interrupted and short writes.
// False on a write error (errno tells which).
bool WriteAll(int nFd, std::string_view strBytes);
