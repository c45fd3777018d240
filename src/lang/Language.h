#pragma once

#include <array>
#include <string>

// The texts the user sees, in German (id 0) or English (id 1). Texts are UTF-8.
class CLanguage {
public:
    // Slots start empty, so an id other than 0 or 1 leaves them empty.
    explicit CLanguage(int nLanguage = 0);
    virtual ~CLanguage();

    // 1 fills every slot with English, 0 with German; any other id is only stored and the
    // texts stay as they are (a stored id from a newer or damaged formats.def).
    void SetLanguage(int nLanguage);
    // A copy of slot nIndex; "" outside 0..59.
    std::string GetText(int nIndex) const;
    // 0 becomes 1; every other id becomes 0.
    void ToggleLanguage();

    int m_nLanguage = 0;

private:
    std::array<std::string, 60> m_strText;
};
