#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The pieces of a JSON document (RFC 8259), appended to a string as a streamed document is
// rendered. A writer of our own: the document has a fixed shape, and what matters, names kept
// exact, needs handling that a general writer leaves to its caller anyway (U+FFFD for bytes
// that are not UTF-8, with the exact bytes beside them in base64).

// strText as a JSON string, quotes included: '"', '\\' and the control characters U+0000 to
// U+001F escaped; each byte that does not start a well-formed UTF-8 sequence becomes U+FFFD.
// False when any byte did.
bool AppendJsonString(std::string_view strText, std::string& strOut);

// strBytes in base64 (RFC 4648, with padding), without quotes.
void AppendBase64(std::string_view strBytes, std::string& strOut);

void AppendJsonNumber(std::uint64_t n, std::string& strOut);

// "YYYY-MM-DDTHH:MM:SS.nnnnnnnnnZ" (UTC, nine fraction digits) with quotes, or null when the
// time has no such form: unknown, or outside the years 0000-9999.
void AppendJsonTime(std::int64_t nSeconds, std::uint32_t nNanoseconds, std::string& strOut);

// "YYYY-MM-DDTHH:MM:SSZ" (UTC, whole seconds) with quotes, or null as above.
void AppendJsonTimeSeconds(std::int64_t nSeconds, std::string& strOut);

// A name (or a path or link text): "KEY":"text" and, when it is not valid UTF-8,
// ,"KEY_base64":"exact bytes". Keys are plain ASCII.
void AppendJsonExactText(std::string_view strKey, std::string_view strText, std::string& strOut);
