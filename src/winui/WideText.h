#pragma once

#include <string>
#include <string_view>

// The one pair of conversions between KWL's UTF-8 and the UTF-16 of the W functions. Bytes that
// are not UTF-8 come out as U+FFFD, so a name is never shown empty.
std::wstring Wide(std::string_view strUtf8);
std::string Utf8(std::wstring_view strWide);
// Line ends as a multi-line edit and the clipboard on Windows want them: every LF as CR LF
// (a CR LF already there stays one).
std::wstring WithCrLf(std::wstring_view strText);
std::string WithCrLf(std::string_view strText);
