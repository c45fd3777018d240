#pragma once

#include "dialogs/DialogTemplate.h"

// Control ids of the progress window.
enum EProgressDlgId : int {
    IDC_PROGRESS_CANCEL = 2,
    IDC_PROGRESS_COUNT = 1070,
    IDC_PROGRESS_BAR = 1071,
};

// The caption and every text come from the progress texts, which are not catalogue entries.
inline constexpr SControlTemplate kProgressDlgLayout[] = {
    {IDC_PROGRESS_COUNT, EControlKind::Label, kNoText, "", 7, 7, 172, 8, 0},
    {IDC_PROGRESS_BAR, EControlKind::ProgressBar, kNoText, nullptr, 7, 19, 172, 9, 0},
    {IDC_PROGRESS_CANCEL, EControlKind::PushButton, kNoText, "", 122, 34, 57, 14, kTabStop},
};

inline constexpr SDialogTemplate kProgressDlgTemplate{kNoText, "", 186, 55, kProgressDlgLayout};
