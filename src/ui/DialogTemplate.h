#pragma once

#include <wx/dialog.h>

#include <initializer_list>
#include <span>
#include <string>

#include "lang/TextId.h"

class CLanguage;
class wxStaticText;

// A dialog template as data: one row per control, in template order (which is also the tab
// order), with positions in dialog units. Dialogs create their controls from such a table and
// take their texts from the catalogue, so each table can be checked line by line.
enum class EControlKind {
    PushButton,
    LeftButton,    // push button with its text left-aligned
    DefaultButton, // the dialog's default button (receives Enter)
    CheckBox,
    ComboBox,      // drop-down with an editable field, unsorted
    Edit,          // single-line edit
    ReadOnlyEdit,  // single-line edit that only the program writes
    PreviewEdit,   // multi-line, read-only, both scroll bars, sunken edge
    GroupBox,
    Label,         // static text, left-aligned, no word wrap
    WrappedLabel,  // static text, left-aligned, broken into lines at its width
    CentredLabel,  // static text, centred
    BitmapButton,
};

// A row without a catalogue entry shows its fixed text.
inline constexpr ETextId kNoText = static_cast<ETextId>(-1);

// Caption of every message box.
inline constexpr const char* kAppName = "kwl";

enum EControlFlags : unsigned {
    kTabStop = 1u << 0,
    kDisabled = 1u << 1,
    kHidden = 1u << 2,
};

struct SControlTemplate {
    int nId;
    EControlKind eKind;
    ETextId eText;        // catalogue entry, or kNoText
    const char* pszText;  // fixed text (UTF-8) when eText is kNoText
    int x, y, cx, cy;     // dialog units
    unsigned nFlags;
};

// Base of the program's dialogs: creates every control of the table before the dialog is
// first sized (a wx dialog with a single child stretches that child) and applies texts.
class CTemplateDialog : public wxDialog {
public:
    CTemplateDialog(wxWindow* pParent, const wxString& strCaption, int nWidthDlu, int nHeightDlu,
                    std::span<const SControlTemplate> controls);

    // Sets the text of every control whose row names a catalogue entry.
    void ApplyTexts(const CLanguage& language);

    wxWindow* Control(int nId) const;
    template <class T> T* ControlAs(int nId) const { return dynamic_cast<T*>(Control(nId)); }
    void EnableControl(int nId, bool bEnable) const;
    void SetControlText(int nId, const wxString& strText) const;
    // For texts from the file system: an "&" is shown as it is, not taken as a mnemonic.
    void SetPlainText(int nId, const wxString& strText) const;
    // The name a screen reader reads for a control that carries no label of its own.
    void NameControl(int nId, const std::string& strName) const;

    // GTK's fonts and button padding take more room than the template's font did. When the
    // text of one of the controls does not fit, all of them get the width the widest text
    // needs, each ending at nRightDlu at most (where the next control to the right begins).
    void WidenToFit(std::span<const int> ids, int nRightDlu);
    void WidenToFit(std::initializer_list<int> ids, int nRightDlu) {
        WidenToFit(std::span<const int>(ids.begin(), ids.size()), nRightDlu);
    }
    // For a control at the right edge, whose text depends on the language shown: its row's
    // place, or, when its text needs more, its row's right edge kept and its left edge moved
    // to the left, up to nLeftDlu.
    void FitLeftwards(int nId, int nLeftDlu);

    std::span<const SControlTemplate> Template() const { return m_controls; }
    wxRect PixelRect(const SControlTemplate& row);

private:
    wxWindow* CreateControl(const SControlTemplate& row);
    static void ShowWholeTextAsTip(wxStaticText* pLabel);

    std::span<const SControlTemplate> m_controls;
};
