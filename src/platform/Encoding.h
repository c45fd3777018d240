#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Text helpers for UTF-8 strings that may hold invalid sequences (file names are raw bytes).
// An invalid byte counts as one character of its own, so nothing is ever dropped.

// Every control character becomes one "?", so no name (and no path from the command line) can
// break a line or a column or start a terminal escape: C0 (0x01-0x1F), DEL (0x7F), C1
// (U+0080-U+009F, the bytes C2 80-C2 9F) and the line and paragraph separators U+2028 and
// U+2029. Invalid UTF-8 bytes are kept as they are.
std::string SanitizeName(std::string_view strRaw);
// The same, appended to strOut: listings of a million names need no temporary strings.
void AppendShownName(std::string_view strRaw, std::string& strOut);
// The name as a screen shows it, appended to strOut: control characters as AppendShownName
// writes them, and each byte that does not start a well-formed UTF-8 sequence as U+FFFD, so
// the result is valid UTF-8 and never empty for a name that is not.
void AppendScreenName(std::string_view strRaw, std::string& strOut);
// True when SanitizeName would return strRaw unchanged.
bool IsShownAsStored(std::string_view strRaw);

// Length in bytes of the well-formed UTF-8 sequence that starts at strText[nPos], 0 when the
// byte there does not start one (no overlong forms, surrogates or code points past U+10FFFF).
std::size_t ValidUtf8Length(std::string_view strText, std::size_t nPos);

// Length in bytes of the character that starts at strText[nPos] (1 for an invalid byte).
std::size_t Utf8CharLength(std::string_view strText, std::size_t nPos);

// Number of characters (code points).
std::size_t Utf8Length(std::string_view strText);

// The first / last nCount characters, never cut inside a sequence.
std::string Utf8Left(std::string_view strText, std::size_t nCount);
std::string Utf8Right(std::string_view strText, std::size_t nCount);

bool IsValidUtf8(std::string_view strText);

// The UTF-8 byte order mark: some spreadsheets read a text file as UTF-8 only when it starts
// with it, and Windows editors put it before the first line of the files they save.
inline constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

// Windows-1252 <-> UTF-8, for formats.def. Bytes that Windows-1252 leaves undefined
// (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the C1 code points of the same value and back.
std::string Cp1252ToUtf8(std::string_view strText);
// False when strText holds a character that Windows-1252 cannot store.
bool Utf8ToCp1252(std::string_view strText, std::string& strOut);
// For readers that take only Windows-1252 (the clipboard's CF_TEXT): each character the code
// page lacks, and each byte that is not UTF-8, becomes one "?".
std::string Utf8ToCp1252Lossy(std::string_view strText);

// A format line as a file or a command line holds it, as UTF-8: taken as it is when it is valid
// UTF-8 (what editors write today), otherwise read as Windows-1252 (what older formats.def files
// hold), so both kinds of line mean the same to the window and to kwl-list.
std::string FormatLineToUtf8(std::string_view strText);
