#include "support/Json.h"

#include <rapidjson/error/en.h>

CJsonDocument ParseJson(std::string_view strJson) {
    CJsonDocument doc;
    // Strict: no comments, no NaN, no trailing commas; strings must be valid UTF-8. Iterative:
    // a deep tree does not use up the stack.
    doc.Parse<rapidjson::kParseValidateEncodingFlag | rapidjson::kParseIterativeFlag>(
        strJson.data(), strJson.size());
    if (doc.HasParseError())
        throw std::runtime_error("not valid JSON at byte " + std::to_string(doc.GetErrorOffset()) +
                                 ": " + rapidjson::GetParseError_En(doc.GetParseError()));
    return doc;
}

std::string JsonText(const CJsonValue& value) {
    return std::string(value.GetString(), value.GetStringLength());
}

bool HasKey(const CJsonValue& value, const std::string& strKey) {
    return value.IsObject() && value.HasMember(strKey);
}
