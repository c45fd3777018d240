#pragma once

#include "dialogs/DialogTemplate.h"

// Control ids of the separator dialog.
enum ESeparatorDlgId : int {
    IDC_SEPARATOR_OK = 1,
    IDC_SEPARATOR_CANCEL = 2,
    IDC_SEPARATOR = 1060,
    IDC_SEPARATOR_NEEDED = 1061,
    IDC_SEPARATOR_LABEL = 1062,
};

// Template order is tab order: OK first, so it has the focus when the dialog opens.
inline constexpr SControlTemplate kSeparatorDlgLayout[] = {
    {IDC_SEPARATOR_OK, EControlKind::DefaultButton, kTextStartExport, nullptr, 76, 48, 59, 14,
     kTabStop},
    {IDC_SEPARATOR_CANCEL, EControlKind::PushButton, kTextSeparatorCancel, nullptr, 7, 48, 59, 14,
     kTabStop},
    {IDC_SEPARATOR_NEEDED, EControlKind::WrappedLabel, kTextSeparatorNeeded, nullptr, 7, 9, 128, 19,
     0},
    {IDC_SEPARATOR_LABEL, EControlKind::Label, kTextSeparatorLabel, nullptr, 33, 32, 34, 8, 0},
    {IDC_SEPARATOR, EControlKind::Edit, kNoText, "", 71, 30, 15, 12, kTabStop},
};

inline constexpr SDialogTemplate kSeparatorDlgTemplate{kTextSeparatorCaption, nullptr, 142, 69,
                                                       kSeparatorDlgLayout};
