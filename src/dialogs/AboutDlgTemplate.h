#pragma once

#include "dialogs/DialogTemplate.h"

// Control ids of the About box; the panel, the product name and the mail address have none
// of their own.
enum EAboutDlgId : int {
    IDC_ABOUT_OK = 1,
    IDC_ABOUT_CONTACT = 1040,
    IDC_ABOUT_VERSION = 1046,
    IDC_ABOUT_WEB = 1063,
};

// Fixed texts of the About box, the same in both languages.
inline constexpr const char* kProductName = "Kawlen";
inline constexpr const char* kContactAddress = "kwl@kwl.example";

// The panel is the first row, so the text lines lie above it. The logo (218 x 77 pixels) is
// drawn at kAboutLogoX, kAboutLogoY client pixels on black, above the panel.
inline constexpr SControlTemplate kAboutDlgLayout[] = {
    {kStaticId, EControlKind::Label, kNoText, "", 7, 60, 143, 39, 0},
    {kStaticId, EControlKind::Label, kNoText, kProductName, 9, 61, 77, 8, 0},
    {IDC_ABOUT_CONTACT, EControlKind::Label, kTextContact, nullptr, 9, 81, 28, 8, 0},
    {kStaticId, EControlKind::Label, kNoText, kContactAddress, 41, 81, 45, 8, 0},
    {IDC_ABOUT_VERSION, EControlKind::Label, kTextVersion, nullptr, 9, 70, 113, 8, 0},
    {IDC_ABOUT_OK, EControlKind::DefaultButton, kNoText, "OK", 170, 85, 50, 14, kTabStop},
    {IDC_ABOUT_WEB, EControlKind::Label, kTextWebAddress, nullptr, 42, 90, 106, 8, 0},
};

inline constexpr SDialogTemplate kAboutDlgTemplate{kTextAboutItem, nullptr, 227, 106,
                                                   kAboutDlgLayout};
inline constexpr int kAboutLogoX = 5;
inline constexpr int kAboutLogoY = 5;
