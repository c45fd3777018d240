#pragma once

#include <string>
#include <string_view>

// A file whose content changed while it was read for its hash, and again when it was read once
// more. No system call reports this, so it has a number of its own above every errno (the
// kernel's end below 4096), carried where errno values are.
inline constexpr int kErrnoChangedWhileRead = 4096;
inline constexpr std::string_view kChangedWhileReadText = "changed while being read";

// A Windows error that no errno stands for is carried as this base plus its code (Windows'
// codes stay below 0x10000 for the file system's errors), so that its own text can be told.
inline constexpr int kErrnoWindowsBase = 0x10000;
// The Windows error code that nErrno carries; 0 for an errno value.
inline int WindowsErrorOf(int nErrno) {
    return nErrno >= kErrnoWindowsBase ? nErrno - kErrnoWindowsBase : 0;
}

// The English words for an error number: the system's, and ours for kErrnoChangedWhileRead.
std::string ErrorText(int nErrno);
