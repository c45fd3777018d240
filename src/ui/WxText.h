#pragma once

#include <wx/string.h>

#include <string>
#include <string_view>

// The one pair of conversions between the engine's UTF-8 bytes and wxString. A byte that is
// not valid UTF-8 comes out as U+FFFD, so a name is never shown empty.
wxString ToWx(std::string_view strUtf8);
std::string FromWx(const wxString& str);
