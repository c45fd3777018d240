#pragma once

#include <algorithm>
#include <array>
#include <cstddef>

#include "dialogs/DialogTemplate.h"
#include "format/FormatLanguage.h"

// Control ids of the format definition dialog.
enum EFormatDefDlgId : int {
    IDC_FD_OK = 1, // also the dialog's result when a line was accepted
    IDC_FD_CANCEL = 2,
    IDC_FD_SAMPLE_FILE = 1010,
    IDC_FD_SAMPLE_DIR = 1011,
    IDC_FD_CLEAR = 1013,
    IDC_FD_FORMAT = 1014,
    IDC_FD_NAME_DIR = 1015,
    IDC_FD_NAME_FILE = 1016,
    IDC_FD_SIZE_DIR = 1017,
    IDC_FD_SIZE_FILE = 1018,
    IDC_FD_CRTIME_DIR = 1019,
    IDC_FD_CRTIME_FILE = 1020,
    IDC_FD_ACCTIME_FILE = 1022,
    IDC_FD_MODTIME_FILE = 1024,
    IDC_FD_ARCH_FILE = 1026,
    IDC_FD_HID_FILE = 1027,
    IDC_FD_SYS_FILE = 1028,
    IDC_FD_COMPR_FILE = 1029,
    IDC_FD_RO_FILE = 1030,
    IDC_FD_FILES_DIR = 1031,
    IDC_FD_TEXT = 1032,
    IDC_FD_ADD_NAME = 1033,
    IDC_FD_TEXT_DIR = 1036,
    IDC_FD_TEXT_FILE = 1037,
    IDC_FD_ADD_SIZE = 1038,
    IDC_FD_ADD_CRTIME = 1039,
    IDC_FD_ADD_ACCTIME = 1040,
    IDC_FD_ADD_MODTIME = 1042,
    IDC_FD_ADD_ARCH = 1043,
    IDC_FD_ADD_HID = 1044,
    IDC_FD_ADD_SYS = 1045,
    IDC_FD_ADD_COMPR = 1046,
    IDC_FD_ADD_RO = 1047,
    IDC_FD_ADD_FILES = 1048,
    IDC_FD_ADD_TEXT_BEFORE = 1049,
    IDC_FD_ADD_TEXT = 1050,
    IDC_FD_LABEL_SAMPLE_FILE = 1051,
    IDC_FD_LABEL_SAMPLE_DIR = 1052,
    IDC_FD_HEADING = 1053,
    IDC_FD_DIR_HEADING = 1054,
    IDC_FD_FILE_HEADING = 1055,
    IDC_FD_FORMAT_LABEL = 1056,
};

// The id of a box that a row does not have.
inline constexpr int kNoBox = 0;

// The controls of one row of the grid: its check boxes (kNoBox for a kind that rendering does
// not define the row's keyword for), its add button and that button's text.
struct SFieldRow {
    int nDirBox;
    int nFileBox;
    int nAddButton;
    ETextId eAddText;
    int nBoxLower = 0; // dialog units the row's boxes sit below those of the other rows
};

namespace FormatDefLayout {

inline constexpr int kWidthDlu = 348;
inline constexpr int kHeightDlu = 333;

// The grid: one row per field keyword, then the text row. The frames overlap so that their
// edges draw the grid lines.
inline constexpr int kGridTop = 29;
inline constexpr int kRowPitch = 16;
inline constexpr int kRowFrameHeight = 21;
inline constexpr int kTextRowFrameHeight = 37; // two add buttons
inline constexpr int kBoxBelowRowTop = 9;
inline constexpr int kButtonBelowRowTop = 6;
inline constexpr int kDirBoxX = 26;
inline constexpr int kFileBoxX = 73;

// One row per entry of the keyword table, in its order: the row adds that keyword. Which boxes
// a row has follows the kinds for which rendering defines the keyword, so a line built here
// never holds a keyword that a kind cannot render.
inline constexpr auto kFieldRows = std::to_array<SFieldRow>({
    {IDC_FD_NAME_DIR, IDC_FD_NAME_FILE, IDC_FD_ADD_NAME, kTextAddName},
    {IDC_FD_SIZE_DIR, IDC_FD_SIZE_FILE, IDC_FD_ADD_SIZE, kTextAddSize},
    {IDC_FD_CRTIME_DIR, IDC_FD_CRTIME_FILE, IDC_FD_ADD_CRTIME, kTextAddCreation},
    {kNoBox, IDC_FD_ACCTIME_FILE, IDC_FD_ADD_ACCTIME, kTextAddAccess},
    {kNoBox, IDC_FD_MODTIME_FILE, IDC_FD_ADD_MODTIME, kTextAddModification},
    {kNoBox, IDC_FD_ARCH_FILE, IDC_FD_ADD_ARCH, kTextAddArchive},
    {kNoBox, IDC_FD_HID_FILE, IDC_FD_ADD_HID, kTextAddHidden},
    {kNoBox, IDC_FD_SYS_FILE, IDC_FD_ADD_SYS, kTextAddSystem},
    {kNoBox, IDC_FD_COMPR_FILE, IDC_FD_ADD_COMPR, kTextAddCompression},
    {kNoBox, IDC_FD_RO_FILE, IDC_FD_ADD_RO, kTextAddReadOnly, 1}, // has always sat lower
    {IDC_FD_FILES_DIR, kNoBox, IDC_FD_ADD_FILES, kTextAddFileCount},
});

consteval bool RowsFollowTheKeywords() {
    if (kFieldRows.size() != kFieldKeywords.size())
        return false;
    for (std::size_t k = 0; k < kFieldRows.size(); ++k) {
        if ((kFieldRows[k].nDirBox != kNoBox) != kFieldKeywords[k].bForDirs ||
            (kFieldRows[k].nFileBox != kNoBox) != kFieldKeywords[k].bForFiles)
            return false;
    }
    return true;
}
static_assert(RowsFollowTheKeywords());

constexpr int RowTop(std::size_t nRow) {
    return kGridTop + kRowPitch * static_cast<int>(nRow);
}
inline constexpr int kTextRowTop = RowTop(kFieldRows.size());
inline constexpr int kGridHeight = kTextRowTop + kTextRowFrameHeight - kGridTop;

constexpr SControlTemplate Frame(int x, int y, int cx, int cy) {
    return {kStaticId, EControlKind::GroupBox, kNoText, "", x, y, cx, cy, 0};
}

constexpr SControlTemplate AddButton(int nId, ETextId eText, int y) {
    return {nId, EControlKind::LeftButton, eText, nullptr, 108, y, 142, 13, kTabStop};
}

constexpr SControlTemplate Box(int nId, int x, int y) {
    return {nId, EControlKind::CheckBox, kNoText, "", x, y, 16, 8, kTabStop};
}

constexpr std::size_t CountFieldBoxes() {
    std::size_t n = 0;
    for (const SFieldRow& row : kFieldRows)
        n += (row.nDirBox != kNoBox ? 1 : 0) + (row.nFileBox != kNoBox ? 1 : 0);
    return n;
}

constexpr std::array<SControlTemplate, CountFieldBoxes()> FieldBoxes() {
    std::array<SControlTemplate, CountFieldBoxes()> boxes{};
    std::size_t i = 0;
    for (std::size_t k = 0; k < kFieldRows.size(); ++k) {
        const SFieldRow& row = kFieldRows[k];
        const int y = RowTop(k) + kBoxBelowRowTop + row.nBoxLower;
        if (row.nDirBox != kNoBox)
            boxes[i++] = Box(row.nDirBox, kDirBoxX, y);
        if (row.nFileBox != kNoBox)
            boxes[i++] = Box(row.nFileBox, kFileBoxX, y);
    }
    return boxes;
}

constexpr std::array<SControlTemplate, kFieldRows.size()> FieldRowFrames() {
    std::array<SControlTemplate, kFieldRows.size()> frames{};
    for (std::size_t k = 0; k < kFieldRows.size(); ++k)
        frames[k] = Frame(7, RowTop(k), 334, kRowFrameHeight);
    return frames;
}

constexpr std::array<SControlTemplate, kFieldRows.size()> FieldAddButtons() {
    std::array<SControlTemplate, kFieldRows.size()> buttons{};
    for (std::size_t k = 0; k < kFieldRows.size(); ++k)
        buttons[k] = AddButton(kFieldRows[k].nAddButton, kFieldRows[k].eAddText,
                               RowTop(k) + kButtonBelowRowTop);
    return buttons;
}

template <std::size_t... N>
constexpr std::array<SControlTemplate, (N + ...)>
Join(const std::array<SControlTemplate, N>&... parts) {
    std::array<SControlTemplate, (N + ...)> all{};
    auto it = all.begin();
    ((it = std::copy(parts.begin(), parts.end(), it)), ...);
    return all;
}

// Template order is tab order.
inline constexpr auto kLayout = Join(
    FieldBoxes(),
    std::to_array<SControlTemplate>({
        // The text row's directory box has always sat one unit left of the column.
        Box(IDC_FD_TEXT_DIR, kDirBoxX - 1, kTextRowTop + kBoxBelowRowTop),
        Box(IDC_FD_TEXT_FILE, kFileBoxX, kTextRowTop + kBoxBelowRowTop),
        {IDC_FD_TEXT, EControlKind::Edit, kNoText, "", 256, kTextRowTop + kButtonBelowRowTop, 80,
         12, kTabStop},
        {IDC_FD_CANCEL, EControlKind::PushButton, kTextCancel, nullptr, 7, 312, 50, 14, kTabStop},
        {IDC_FD_CLEAR, EControlKind::PushButton, kTextClear, nullptr, 235, 312, 50, 14, kTabStop},
        {IDC_FD_OK, EControlKind::DefaultButton, kTextOk, nullptr, 291, 312, 50, 14, kTabStop},
        {IDC_FD_LABEL_SAMPLE_FILE, EControlKind::Label, kTextSampleFile, nullptr, 7, 277, 65, 8, 0},
        {IDC_FD_LABEL_SAMPLE_DIR, EControlKind::Label, kTextSampleDirectory, nullptr, 7, 290, 84, 8,
         0},
        {IDC_FD_FORMAT_LABEL, EControlKind::Label, kTextFormatLabel, nullptr, 7, 256, 24, 8, 0},
        {IDC_FD_FORMAT, EControlKind::ReadOnlyEdit, kNoText, "", 36, 253, 305, 14, kTabStop},
        {IDC_FD_HEADING, EControlKind::Label, kTextAvailableInfo, nullptr, 7, 7, 265, 8, 0},
        Frame(7, kGridTop, 48, kGridHeight),  // directory column
        Frame(54, kGridTop, 48, kGridHeight), // file column
    }),
    FieldRowFrames(),
    std::to_array<SControlTemplate>({
        {IDC_FD_DIR_HEADING, EControlKind::Label, kTextDirectory, nullptr, 12, 24, 37, 8, 0},
        {IDC_FD_FILE_HEADING, EControlKind::Label, kTextFile, nullptr, 69, 24, 18, 8, 0},
        Frame(7, kTextRowTop, 334, kTextRowFrameHeight),
    }),
    FieldAddButtons(),
    std::to_array<SControlTemplate>({
        AddButton(IDC_FD_ADD_TEXT_BEFORE, kTextAddTextBefore, kTextRowTop + kButtonBelowRowTop),
        AddButton(IDC_FD_ADD_TEXT, kTextAddText, kTextRowTop + kButtonBelowRowTop + 15), // below
        {IDC_FD_SAMPLE_FILE, EControlKind::ReadOnlyEdit, kNoText, "", 98, 275, 243, 12, kTabStop},
        {IDC_FD_SAMPLE_DIR, EControlKind::ReadOnlyEdit, kNoText, "", 98, 288, 243, 12, kTabStop},
    }));

constexpr std::array<int, kFieldRows.size()> FieldAddButtonIds() {
    std::array<int, kFieldRows.size()> ids{};
    for (std::size_t k = 0; k < kFieldRows.size(); ++k)
        ids[k] = kFieldRows[k].nAddButton;
    return ids;
}

inline constexpr std::array<int, 2> kTextButtons = {IDC_FD_ADD_TEXT_BEFORE, IDC_FD_ADD_TEXT};
inline constexpr std::array<int, 2> kTextBoxes = {IDC_FD_TEXT_DIR, IDC_FD_TEXT_FILE};

} // namespace FormatDefLayout

using FormatDefLayout::FieldAddButtonIds;
using FormatDefLayout::kFieldRows;
using FormatDefLayout::kTextBoxes;
using FormatDefLayout::kTextButtons;

inline constexpr SDialogTemplate kFormatDefDlgTemplate{
    kTextDefineCaption, nullptr, FormatDefLayout::kWidthDlu, FormatDefLayout::kHeightDlu,
    FormatDefLayout::kLayout};
