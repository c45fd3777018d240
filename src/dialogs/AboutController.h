#pragma once

class CLanguage;
class IDialogView;

// The About box's texts in the shown language; the version and web address are shown as they
// are (an "&" in them is no mnemonic).
void ShowAboutTexts(IDialogView& view, const CLanguage& language);
