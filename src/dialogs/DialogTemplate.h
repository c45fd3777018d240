#pragma once

#include <span>

#include "lang/TextId.h"

// A dialog template as data: one row per control, in template order (which is also the tab
// order), with positions in dialog units. Each window creates its controls from these rows and
// takes their texts from the catalogue, so both windows show the same dialogs and each table
// can be checked line by line.
enum class EControlKind {
    PushButton,
    LeftButton,    // push button with its text left-aligned
    DefaultButton, // the dialog's default button (receives Enter)
    CheckBox,
    ComboBox,     // drop-down with an editable field, unsorted
    Edit,         // single-line edit
    ReadOnlyEdit, // single-line edit that only the program writes
    PreviewEdit,  // multi-line, read-only, both scroll bars, sunken edge
    GroupBox,
    Label,        // static text, left-aligned, no word wrap
    WrappedLabel, // static text, left-aligned, broken into lines at its width
    CentredLabel, // static text, centred
    BitmapButton,
    ProgressBar, // a bar that moves while work of unknown length runs
};

// A row without a catalogue entry shows its fixed text.
inline constexpr ETextId kNoText = static_cast<ETextId>(-1);

// Caption of every message box.
inline constexpr const char* kAppName = "kwl";

// Id of the controls that no code addresses (frames, fixed labels); wxWidgets' wxID_STATIC.
inline constexpr int kStaticId = 5105;

enum EControlFlags : unsigned {
    kTabStop = 1u << 0,
    kDisabled = 1u << 1,
    kHidden = 1u << 2,
};

struct SControlTemplate {
    int nId;
    EControlKind eKind;
    ETextId eText;       // catalogue entry, or kNoText
    const char* pszText; // fixed text (UTF-8) when eText is kNoText
    int x, y, cx, cy;    // dialog units
    unsigned nFlags;
};

// A whole dialog: its caption (a catalogue entry, or the fixed text when there is none), its
// client size in dialog units and its controls.
struct SDialogTemplate {
    ETextId eCaption;
    const char* pszCaption;
    int cx, cy;
    std::span<const SControlTemplate> controls;
};

// The row of control nId, or nullptr when the template has none.
const SControlTemplate* FindRow(std::span<const SControlTemplate> controls, int nId);
