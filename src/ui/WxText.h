#pragma once

#include <wx/string.h>

#include <string>
#include <string_view>

// The one pair of conversions between the engine's UTF-8 bytes and wxString. A byte that is
// not valid UTF-8 comes out as U+FFFD, so a name is never shown empty.
wxString ToWx(std::string_view strUtf8);
std::string FromWx(const wxString& str);
// Appends ToWx(strUtf8) to str; strUtf8 must not end inside a character. ASCII goes over
// without decoding: a listing of many megabytes is mostly ASCII.
void AppendToWx(wxString& str, std::string_view strUtf8);
