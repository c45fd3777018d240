#pragma once

#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>

#include "lang/LanguageId.h"

// Every table of texts in both languages is a list of these rows, row i holding id i, so that
// it is read by id and RowsMatchIds checks it when it compiles. Texts are UTF-8.
template <class TId> struct STextRow {
    TId eId;
    const char* pszEnglish;
    const char* pszGerman;
};

// True when the table has one row for each id below eCount and row i holds id i: a row that is
// missing, doubled or out of place fails the build through a static_assert.
template <class TId, std::size_t N>
constexpr bool RowsMatchIds(const STextRow<TId> (&rows)[N], TId eCount) {
    if (N != static_cast<std::size_t>(eCount))
        return false;
    for (std::size_t i = 0; i < N; ++i) {
        if (static_cast<std::size_t>(rows[i].eId) != i)
            return false;
    }
    return true;
}

// The text of id eId in eLanguage: German for German, English for English and any other id.
template <class TId, std::size_t N>
constexpr const char* TextOf(const STextRow<TId> (&rows)[N], TId eId, ELanguage eLanguage) {
    const STextRow<TId>& row = rows[static_cast<std::size_t>(eId)];
    return eLanguage == ELanguage::German ? row.pszGerman : row.pszEnglish;
}

// The pattern with %1 ... %9 replaced by the values, in order; a "%" before anything else stays.
inline std::string FillPattern(std::string_view strPattern,
                               std::initializer_list<std::string_view> values) {
    std::string strOut;
    for (std::size_t i = 0; i < strPattern.size(); ++i) {
        if (strPattern[i] == '%' && i + 1 < strPattern.size() && strPattern[i + 1] >= '1' &&
            strPattern[i + 1] <= '9') {
            const auto nValue = static_cast<std::size_t>(strPattern[i + 1] - '1');
            if (nValue < values.size()) {
                strOut += *(values.begin() + nValue);
                ++i;
                continue;
            }
        }
        strOut += strPattern[i];
    }
    return strOut;
}
