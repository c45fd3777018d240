#pragma once

#include <string>
#include <string_view>

// UTF-16 as Windows stores names <-> the UTF-8 that KWL keeps. Windows accepts names with
// unpaired surrogates; they are kept exact as WTF-8 (the surrogate encoded like any other code
// point, three bytes ED A0-BF xx), so such a name can be opened again and its bytes carried in
// JSON. The system's own conversion would replace them with U+FFFD and lose the name.

// Every well-formed pair becomes one 4-byte sequence; a lone surrogate its 3-byte form.
std::string Wtf8FromUtf16(std::u16string_view strWide);
// The reverse, for WTF-8 and so for all UTF-8. A byte that starts no well-formed sequence
// (nor a surrogate's) becomes U+FFFD: such bytes cannot name anything on Windows.
std::u16string Utf16FromWtf8(std::string_view strText);
