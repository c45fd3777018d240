#pragma once

#include <string>
#include <string_view>

// How the format definition dialog turns its check boxes, buttons and text field into a
// format line, without a window, so the rules are tested without a display.

// The list shown after entry 42 when the text field gets a character it does not take. It is
// the same in both languages and leaves out ":" and the umlauts, which the field takes too.
inline constexpr const char* kAllowedCharacters =
    "'a' - 'z', 'A' - 'Z', '0' - '9', '(',')', '[', ']', und ' '";

// True when every character of the UTF-8 text may stand in a text element: the ASCII letters
// and digits, the six umlauts ä ö ü Ä Ö Ü, "(", ")", "[", "]", blank and ":". Characters are
// checked one by one, so "é" or "€" is refused as one character, whatever its length.
bool IsAllowedText(std::string_view strText);

// "D-" for directories only, "F-" for files only, "" for both (and for neither).
std::string_view Qualifier(bool bDirectories, bool bFiles);

// The text as a text element: a backslash before every "[" and "]", then brackets around it.
std::string TextElement(std::string_view strText);

// The format line the dialog builds, element by element. Fields always end the column they
// are in; the two text kinds differ in which side of them the column break falls.
class CFormatLineBuilder {
public:
    void AddField(std::string_view strKeyword, bool bDirectories, bool bFiles);
    // The text starts a new column, and the next element continues that column.
    void AddTextBefore(std::string_view strText, bool bDirectories, bool bFiles);
    // The text continues the current column, and the next element starts a new one.
    void AddText(std::string_view strText, bool bDirectories, bool bFiles);
    void Clear() { m_strLine.clear(); }

    const std::string& Line() const { return m_strLine; }

private:
    // The first element never gets a separator; later ones get "|" or "-".
    void Append(std::string_view strQualifier, std::string_view strElement);

    std::string m_strLine;
    bool m_bNewColumn = true;
};
