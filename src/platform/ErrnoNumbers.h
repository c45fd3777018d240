#pragma once

// The number Linux gives the error nErrno of this system, for documents that carry errno
// numbers (JSON "errno"): the same failure has the same number whichever system made the
// document. Windows' C runtime numbers some errors differently (ELOOP is 114 there, 40 on
// Linux).
int LinuxErrno(int nErrno);
