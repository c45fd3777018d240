#pragma once

#include <string>

// The number Linux gives the error nErrno of this system, for documents that carry errno
// numbers (JSON "errno"): the same failure has the same number whichever system made the
// document. Windows' C runtime numbers some errors differently (ELOOP is 114 there, 40 on
// Linux).
// A Windows error without an errno of its own (platform/ErrorText.h) counts as EIO.
int LinuxErrno(int nErrno);
// The system's own English text for nErrno (FormatMessage for a Windows error it carries).
std::string SystemErrorText(int nErrno);
