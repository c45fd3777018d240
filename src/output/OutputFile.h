#pragma once

#include <string>
#include <string_view>

#include "platform/FileWrite.h"

// Writes strText to nFd with every LF stored as CR LF (the exports' files hold CR LF line
// ends), converting piecewise so no copy of the whole text is made. False on a write error
// (errno tells which).
bool WriteWithCrLf(int nFd, std::string_view strText);

// Creates strPath or empties it, then writes strText as WriteWithCrLf does. False when the
// open, a write or the close fails; errno is left for the caller's message. A SIGPIPE from a
// pipe or socket target is the caller's to handle.
bool SaveTextToFile(const std::string& strPath, std::string_view strText);

// As SaveTextToFile, but the bytes are stored unchanged (for texts that already hold CR LF).
bool SaveBytesToFile(const std::string& strPath, std::string_view strBytes);
