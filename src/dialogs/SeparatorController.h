#pragma once

#include <string>

class CLanguage;
class IDialogView;

// Characters the separator field takes.
inline constexpr int kSeparatorMaxChars = 1;

// What the separator dialog decides: the column separator of the text export, one character,
// ";" to start with. OK is offered only while the field holds a separator the export can use.
class CSeparatorController {
public:
    CSeparatorController(IDialogView& view, const CLanguage& language);

    // Texts, the field's name and ";" in the field.
    void Start();
    // The field changed.
    void OnChange();
    // Whether the dialog may end with OK.
    bool CanAccept() const;
    // The separator in the field (UTF-8); the one accepted once the dialog ended with OK.
    const std::string& Separator() const { return m_strSeparator; }

private:
    IDialogView& m_view;
    const CLanguage& m_language;
    std::string m_strSeparator;
};
