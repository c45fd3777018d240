#pragma once

#include <optional>
#include <string>

#include "lang/LanguageId.h"
#include "lang/TextId.h"

// The texts the user sees, in German or English. Texts are UTF-8.
class CLanguage {
public:
    // An id other than German or English leaves every text empty.
    explicit CLanguage(ELanguage eLanguage = ELanguage::German);

    // English and German show that language's texts; any other id is only stored and the texts
    // stay as they are (a stored id from a newer or damaged formats.def).
    void SetLanguage(ELanguage eLanguage);
    ELanguage GetLanguage() const { return m_eLanguage; }
    // The language whose texts are shown: German until English or German is set.
    ELanguage ShownLanguage() const { return m_eShown.value_or(ELanguage::German); }
    // A copy of the text of entry eText; "" for an entry without a text (57 and above).
    std::string GetText(ETextId eText) const;
    // German becomes English; every other id becomes German.
    void ToggleLanguage();

private:
    ELanguage m_eLanguage = ELanguage::German;
    // The language whose texts are shown: the last English or German set, none before one was.
    std::optional<ELanguage> m_eShown;
};
