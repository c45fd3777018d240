#pragma once

#include <string>

// What a dialog's controller asks of its window. Controls are named by their template ids;
// texts are UTF-8. The wxWidgets window and the Windows window each implement it, so the
// controllers decide everything once for both.
enum class EMessageIcon {
    None,
    Warning,
};

class IDialogView {
public:
    virtual ~IDialogView() = default;

    // A catalogue text: "&" marks the mnemonic. In an edit or a combo box's field, its value.
    virtual void SetText(int nId, const std::string& strText) = 0;
    // A text from the file system or the user: an "&" is shown as it is.
    virtual void SetPlainText(int nId, const std::string& strText) = 0;
    // The text of an edit field.
    virtual std::string GetText(int nId) const = 0;
    // Puts the end of an edit's text in view (the newest part of a growing line).
    virtual void ShowTextEnd(int nId) = 0;
    virtual void Enable(int nId, bool bEnable) = 0;
    virtual void Show(int nId, bool bShow) = 0;
    virtual bool IsChecked(int nId) const = 0;
    virtual void SetChecked(int nId, bool bChecked) = 0;
    // The name a screen reader reads for a control that carries no label of its own.
    virtual void SetAccessibleName(int nId, const std::string& strName) = 0;
    // The text shown while the pointer rests on a control.
    virtual void SetTip(int nId, const std::string& strTip) = 0;
    // A modal message box with OK, captioned kAppName.
    virtual void ShowMessage(const std::string& strText, EMessageIcon eIcon) = 0;
    // After the texts of a language were set: lets longer texts take the room the toolkit's
    // fonts need. Nothing to do where the template's sizes fit.
    virtual void FitTexts() = 0;
};
