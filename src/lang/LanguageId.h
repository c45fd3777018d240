#pragma once

// The two languages of every text the user sees. The value is the id that formats.def stores;
// an id other than these two can come from that file and is carried as it is.
enum class ELanguage : int {
    German = 0,
    English = 1,
};

// The id as formats.def stores it, and back.
constexpr int LanguageId(ELanguage eLanguage) {
    return static_cast<int>(eLanguage);
}
constexpr ELanguage LanguageFromId(int nId) {
    return static_cast<ELanguage>(nId);
}
