#pragma once

#include "dialogs/DialogTemplate.h"

// Control ids of the main dialog.
enum EMainDlgId : int {
    IDC_QUIT = 2,
    IDC_PREVIEW = 1001,
    IDC_DIRECTORY_LABEL = 1002,
    IDC_SELECT_DIRECTORY = 1004,
    IDC_COMPUTE_LIST = 1005,
    IDC_OUTPUT_TITLE = 1006,
    IDC_RECURSIVE = 1007,
    IDC_FORMATS = 1008,
    IDC_DEFINE_FORMAT = 1009,
    IDC_SAMPLE_FILETEXT = 1010,
    IDC_SAMPLE_DIRTEXT = 1011,
    IDC_DEFAULT_BUTTON = 1012,
    IDC_EXPORT_CLIPBOARD = 1036,
    IDC_EXPORT_TEXTFILE = 1038,
    IDC_EXPORT_HTML = 1039,
    IDC_GROUP_STEP1 = 1041,
    IDC_GROUP_STEP2 = 1042,
    IDC_GROUP_STEP3 = 1043,
    IDC_LABEL_SAMPLE_FILE = 1044,
    IDC_LABEL_SAMPLE_DIR = 1045,
    IDC_FLAG_GERMAN = 1057,
    IDC_FLAG_ENGLISH = 1059,
    IDC_GROUP_EXPORT = 1065,
    ID_ABOUT = 32771, // F1
};

// Template order is tab order.
inline constexpr SControlTemplate kMainDlgLayout[] = {
    {IDC_RECURSIVE, EControlKind::CheckBox, kTextRecursive, nullptr, 13, 21, 119, 10, kTabStop},
    {IDC_SELECT_DIRECTORY, EControlKind::PushButton, kTextSelectDirectory, nullptr, 270, 52, 88, 14,
     kTabStop},
    {IDC_FORMATS, EControlKind::ComboBox, kNoText, nullptr, 13, 89, 251, 99, kTabStop},
    {IDC_DEFINE_FORMAT, EControlKind::PushButton, kTextDefineFormat, nullptr, 270, 88, 88, 14,
     kTabStop},
    {IDC_COMPUTE_LIST, EControlKind::PushButton, kTextComputeList, nullptr, 306, 148, 56, 14,
     kTabStop},
    {IDC_QUIT, EControlKind::PushButton, kTextQuit, nullptr, 312, 277, 50, 14, kTabStop},
    {IDC_GROUP_STEP2, EControlKind::GroupBox, kTextStep2, nullptr, 7, 43, 355, 28, 0},
    {IDC_GROUP_STEP1, EControlKind::GroupBox, kTextStep1, nullptr, 7, 10, 355, 27, 0},
    {IDC_GROUP_STEP3, EControlKind::GroupBox, kTextStep3, nullptr, 7, 77, 355, 49, 0},
    {IDC_PREVIEW, EControlKind::PreviewEdit, kNoText, "", 7, 148, 282, 143, kTabStop},
    {IDC_DIRECTORY_LABEL, EControlKind::Label, kNoText, nullptr, 13, 56, 248, 10, 0},
    {IDC_OUTPUT_TITLE, EControlKind::Label, kNoText, "", 9, 138, 272, 8, 0},
    // The two sample labels reach to the sample column (template: 65 and 84 wide), so that
    // the German texts fit a GTK font.
    {IDC_LABEL_SAMPLE_FILE, EControlKind::Label, kTextSampleFile, nullptr, 13, 105, 91, 8, 0},
    {IDC_LABEL_SAMPLE_DIR, EControlKind::Label, kTextSampleDirectory, nullptr, 13, 114, 91, 8, 0},
    {IDC_SAMPLE_FILETEXT, EControlKind::Label, kNoText, "", 105, 105, 253, 8, 0},
    {IDC_SAMPLE_DIRTEXT, EControlKind::Label, kNoText, "", 105, 114, 253, 8, 0},
    {IDC_DEFAULT_BUTTON, EControlKind::DefaultButton, kNoText, "default button", 254, 19, 50, 14,
     kHidden},
    {IDC_GROUP_EXPORT, EControlKind::GroupBox, kTextExport, nullptr, 293, 176, 69, 64, 0},
    {IDC_EXPORT_CLIPBOARD, EControlKind::PushButton, kTextClipboard, nullptr, 295, 189, 64, 14,
     kTabStop},
    {IDC_EXPORT_TEXTFILE, EControlKind::PushButton, kTextTextfile, nullptr, 295, 206, 64, 14,
     kTabStop | kDisabled},
    {IDC_EXPORT_HTML, EControlKind::PushButton, kTextHtmlFile, nullptr, 295, 223, 64, 14, kTabStop},
    {IDC_FLAG_GERMAN, EControlKind::BitmapButton, kNoText, nullptr, 339, 16, 19, 19, kTabStop},
    {IDC_FLAG_ENGLISH, EControlKind::BitmapButton, kNoText, nullptr, 317, 16, 19, 19, kTabStop},
};

inline constexpr SDialogTemplate kMainDlgTemplate{kNoText, "KWL - Kawlen", 369, 298,
                                                  kMainDlgLayout};

// Longer texts take room that is free in every language: left of the compute button (the
// preview ends at 289), right of the check box (the flags begin at 317).
inline constexpr int kComputeListLeftmostDlu = 292;
inline constexpr int kRecursiveRightmostDlu = 314;
