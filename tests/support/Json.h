#pragma once

// JSON read back in the tests, with RapidJSON on every system (it is header-only and builds
// with MinGW as well): a DOM of the whole document, integers exact up to 2^64-1, strings with
// their length, so NULs inside them stay.
//
// A document of another shape than a test expects (a missing key, a string where a number
// should be) fails that test: RapidJSON's checks throw instead of reading past the value,
// which they would do in a build without assertions.

#include <stdexcept>
#include <string>
#include <string_view>

struct SJsonShapeError : std::logic_error {
    using std::logic_error::logic_error;
};

#define RAPIDJSON_HAS_STDSTRING 1
#define RAPIDJSON_ASSERT_THROWS
#define RAPIDJSON_ASSERT(x) ((x) ? void() : throw SJsonShapeError("unexpected JSON: " #x))
#include <rapidjson/document.h>

using CJsonValue = rapidjson::Value;
using CJsonDocument = rapidjson::Document;

// The document in strJson: one JSON value in valid UTF-8 and nothing after it. Throws
// std::runtime_error with the byte offset and the reason where it is not.
CJsonDocument ParseJson(std::string_view strJson);

// A JSON string's exact bytes, NULs included.
std::string JsonText(const CJsonValue& value);

// Whether the object has the key (false for anything that is not an object).
bool HasKey(const CJsonValue& value, const std::string& strKey);
