#include "dialogs/DialogTexts.h"

#include "dialogs/DialogView.h"
#include "lang/Language.h"

std::string DialogCaption(const SDialogTemplate& dlg, const CLanguage& language) {
    if (dlg.eCaption != kNoText)
        return language.GetText(dlg.eCaption);
    return dlg.pszCaption != nullptr ? dlg.pszCaption : "";
}

void ApplyTemplateTexts(IDialogView& view, const SDialogTemplate& dlg, const CLanguage& language) {
    for (const SControlTemplate& row : dlg.controls) {
        if (row.eText != kNoText)
            view.SetText(row.nId, language.GetText(row.eText));
    }
}
