#include "winui/TemplateRows.h"

#include <commctrl.h>

#include "dialogs/DialogTexts.h"
#include "lang/Language.h"
#include "winui/WideText.h"

namespace {

struct SKindClass {
    const wchar_t* pszClass;
    DWORD dwStyle;
    DWORD dwExStyle;
};

SKindClass ClassOf(EControlKind eKind) {
    switch (eKind) {
    case EControlKind::PushButton:
        return {L"BUTTON", BS_PUSHBUTTON, 0};
    case EControlKind::LeftButton:
        return {L"BUTTON", BS_PUSHBUTTON | BS_LEFT, 0};
    case EControlKind::DefaultButton:
        return {L"BUTTON", BS_DEFPUSHBUTTON, 0};
    case EControlKind::CheckBox:
        return {L"BUTTON", BS_AUTOCHECKBOX, 0};
    case EControlKind::ComboBox:
        // The row's height is that of the list dropped down.
        return {L"COMBOBOX", CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL, 0};
    case EControlKind::Edit:
        return {L"EDIT", ES_AUTOHSCROLL | ES_LEFT, WS_EX_CLIENTEDGE};
    case EControlKind::ReadOnlyEdit:
        return {L"EDIT", ES_AUTOHSCROLL | ES_LEFT | ES_READONLY, WS_EX_CLIENTEDGE};
    case EControlKind::PreviewEdit:
        return {L"EDIT",
                ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | ES_AUTOHSCROLL | WS_VSCROLL |
                    WS_HSCROLL,
                WS_EX_CLIENTEDGE};
    case EControlKind::GroupBox:
        return {L"BUTTON", BS_GROUPBOX, 0};
    case EControlKind::Label:
        return {L"STATIC", SS_LEFTNOWORDWRAP, 0};
    case EControlKind::WrappedLabel:
        return {L"STATIC", SS_LEFT, 0};
    case EControlKind::CentredLabel:
        return {L"STATIC", SS_CENTER, 0};
    case EControlKind::BitmapButton:
        // Drawn by the dialog: a disabled one shows its own grey picture, where Windows
        // would emboss the coloured one.
        return {L"BUTTON", BS_OWNERDRAW, 0};
    case EControlKind::ProgressBar:
        return {PROGRESS_CLASSW, PBS_MARQUEE, 0};
    }
    return {L"STATIC", 0, 0};
}

} // namespace

std::string RowText(const SControlTemplate& row, const CLanguage& language) {
    if (row.eText != kNoText)
        return language.GetText(row.eText);
    return row.pszText != nullptr ? row.pszText : "";
}

SDialogItem DialogItemOf(const SControlTemplate& row, const CLanguage& language) {
    const SKindClass kind = ClassOf(row.eKind);
    DWORD dwStyle = kind.dwStyle;
    if ((row.nFlags & kTabStop) != 0)
        dwStyle |= WS_TABSTOP;
    if ((row.nFlags & kDisabled) != 0)
        dwStyle |= WS_DISABLED;
    if ((row.nFlags & kHidden) == 0)
        dwStyle |= WS_VISIBLE;
    return {row.nId,
            kind.pszClass,
            dwStyle,
            kind.dwExStyle,
            static_cast<short>(row.x),
            static_cast<short>(row.y),
            static_cast<short>(row.cx),
            static_cast<short>(row.cy),
            Wide(RowText(row, language))};
}

CDialogBuilder BuildDialog(const SDialogTemplate& dlg, const CLanguage& language, DWORD dwStyle) {
    CDialogBuilder builder(Wide(DialogCaption(dlg, language)), static_cast<short>(dlg.cx),
                           static_cast<short>(dlg.cy), dwStyle);
    for (const SControlTemplate& row : dlg.controls)
        builder.Add(DialogItemOf(row, language));
    return builder;
}
