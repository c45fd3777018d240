#include "dialogs/AboutController.h"

#include "dialogs/AboutDlgTemplate.h"
#include "dialogs/DialogTexts.h"
#include "dialogs/DialogView.h"
#include "lang/Language.h"

void ShowAboutTexts(IDialogView& view, const CLanguage& language) {
    ApplyTemplateTexts(view, kAboutDlgTemplate, language);
    view.SetPlainText(IDC_ABOUT_VERSION, language.GetText(kTextVersion));
    view.SetPlainText(IDC_ABOUT_WEB, language.GetText(kTextWebAddress));
    view.FitTexts();
}
