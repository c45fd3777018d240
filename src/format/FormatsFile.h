#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

// formats.def: line 1 the language id, then one format line per line. Lines are written in
// UTF-8; a line that is not valid UTF-8 is read as Windows-1252, as older files hold them.
// Everything handed in or out here is UTF-8. Paths are full paths.

inline constexpr std::array<const char*, 3> kDefaultFormats = {
    "D-[D ]-name", "name|F-[(]-F-size-F-[ bytes)]|[\\[]-crTime-[\\]]",
    "name|D-[(]-D-size-D-[ bytes)]"};
// The line in use until the user chooses another, in the window and in kwl-list.
inline constexpr std::string_view kDefaultFormat = kDefaultFormats[0];

// A formats.def larger than this is no catalogue anyone wrote: it is not read.
inline constexpr std::size_t kMaxFormatsFile = 16 * 1024 * 1024;

// Why formats.def could not be used.
enum class EFormatsProblem {
    None,
    CannotRead, // opening or reading failed (nErrno)
    NotAFile,   // a directory, a device, a FIFO or a socket (a link is followed)
    TooLarge,   // over kMaxFormatsFile
    NotText,    // it holds NUL bytes, as no text does
};

struct SFormatsLoad {
    int nLanguage = 1;              // atol of the first line when one was read
    std::vector<std::string> lines; // format lines, trailing white space removed; the
                                    // three defaults when the file held none
    bool bCreated = false;          // the file was (re)written with the defaults
    bool bUnreadable = false;       // it exists but cannot be used: left untouched
    EFormatsProblem eProblem = EFormatsProblem::None; // why, when bUnreadable
    int nErrno = 0;                                    // with CannotRead
};

// Reads the file whole, line by line, without blocking (a FIFO is not waited for) and only
// when it is a regular file of at most kMaxFormatsFile bytes without a NUL byte; a UTF-8 byte
// order mark in front is skipped. Each line is read as FormatLineToUtf8 says. Writes the
// defaults when the file is missing, empty or holds no format line; a file that exists but
// cannot be used is never touched.
SFormatsLoad LoadFormatsFile(const std::string& strPath);

// The language id LoadFormatsFile would return, read without writing anything: 1 when the file
// is missing, cannot be used or is empty.
int ReadLanguageId(const std::string& strPath);

// Appends strLine and a line feed, after a line feed of its own when the file does not end in
// one, so that it never joins the last line, in UTF-8. False, with the file as it was, when the
// line is not valid UTF-8, the file is not a regular one, or opening, writing or closing fails.
bool AppendFormatLine(const std::string& strPath, const std::string& strLine);

// Replaces the first line by nLanguage and keeps every other byte; writes the id and the
// defaults when the file is missing or has nothing after the first line. The new content
// goes to a temporary file beside it that is renamed over the old one. False, with the
// file untouched, when it cannot be read or the new content cannot be written.
bool SaveLanguageId(const std::string& strPath, int nLanguage);

// Index of the entry a combo box selects for strText: the first entry, from index 1 on and
// then index 0, that begins with strText with letter case ignored; -1 when none does.
int SelectByText(const std::vector<std::string>& entries, const std::string& strText);
