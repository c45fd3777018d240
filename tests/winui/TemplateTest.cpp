// Every dialog's template rows become Windows controls as the rows say: window class, styles,
// place and size in dialog units, tab order. Checked on the bare template, before any
// controller changes a control.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <vector>

#include "dialogs/AboutDlgTemplate.h"
#include "dialogs/FormatDefDlgTemplate.h"
#include "dialogs/MainDlgTemplate.h"
#include "dialogs/ProgressDlgTemplate.h"
#include "dialogs/SeparatorDlgTemplate.h"
#include "lang/Language.h"
#include "winui/TemplateRows.h"

namespace {

INT_PTR CALLBACK BareProc(HWND, UINT nMessage, WPARAM, LPARAM) {
    return nMessage == WM_INITDIALOG;
}

// A dialog made from the builder's template alone, destroyed with the object.
class CBareDialog {
public:
    CBareDialog(const SDialogTemplate& dlg, const CLanguage& language) {
        const CDialogBuilder builder =
            BuildDialog(dlg, language, WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME);
        m_hWnd = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), builder.Template(), nullptr,
                                            BareProc, 0);
    }
    ~CBareDialog() { DestroyWindow(m_hWnd); }
    HWND Handle() const { return m_hWnd; }

private:
    HWND m_hWnd = nullptr;
};

std::vector<HWND> ChildrenInOrder(HWND hDlg) {
    std::vector<HWND> children;
    for (HWND h = GetWindow(hDlg, GW_CHILD); h != nullptr; h = GetWindow(h, GW_HWNDNEXT))
        children.push_back(h);
    return children;
}

std::wstring ClassOf(HWND hWnd) {
    wchar_t szClass[64] = {};
    GetClassNameW(hWnd, szClass, 64);
    return szClass;
}

// The class and the kind's distinguishing style bits.
struct SKindExpected {
    EControlKind eKind;
    const wchar_t* pszClass;
    LONG_PTR nStyleMask;
    LONG_PTR nStyle;
};
const SKindExpected kKinds[] = {
    {EControlKind::PushButton, L"Button", BS_TYPEMASK, BS_PUSHBUTTON},
    {EControlKind::LeftButton, L"Button", BS_TYPEMASK | BS_LEFT, BS_PUSHBUTTON | BS_LEFT},
    {EControlKind::DefaultButton, L"Button", BS_TYPEMASK, BS_DEFPUSHBUTTON},
    {EControlKind::CheckBox, L"Button", BS_TYPEMASK, BS_AUTOCHECKBOX},
    {EControlKind::ComboBox, L"ComboBox", CBS_DROPDOWNLIST, CBS_DROPDOWN},
    {EControlKind::Edit, L"Edit", ES_READONLY | ES_MULTILINE, 0},
    {EControlKind::ReadOnlyEdit, L"Edit", ES_READONLY | ES_MULTILINE, ES_READONLY},
    {EControlKind::PreviewEdit, L"Edit", ES_READONLY | ES_MULTILINE | WS_VSCROLL | WS_HSCROLL,
     ES_READONLY | ES_MULTILINE | WS_VSCROLL | WS_HSCROLL},
    {EControlKind::GroupBox, L"Button", BS_TYPEMASK, BS_GROUPBOX},
    {EControlKind::Label, L"Static", SS_TYPEMASK, SS_LEFTNOWORDWRAP},
    {EControlKind::WrappedLabel, L"Static", SS_TYPEMASK, SS_LEFT},
    {EControlKind::CentredLabel, L"Static", SS_TYPEMASK, SS_CENTER},
    {EControlKind::BitmapButton, L"Button", BS_TYPEMASK, BS_OWNERDRAW},
    {EControlKind::ProgressBar, L"msctls_progress32", PBS_MARQUEE, PBS_MARQUEE},
};

const SKindExpected& ExpectedOf(EControlKind eKind) {
    for (const SKindExpected& kind : kKinds)
        if (kind.eKind == eKind)
            return kind;
    ADD_FAILURE() << "no expectation for kind " << static_cast<int>(eKind);
    return kKinds[0];
}

struct SDialogCase {
    const char* pszName;
    const SDialogTemplate& dlg;
};
const SDialogCase kDialogs[] = {
    {"main", kMainDlgTemplate},           {"definition", kFormatDefDlgTemplate},
    {"separator", kSeparatorDlgTemplate}, {"about", kAboutDlgTemplate},
    {"progress", kProgressDlgTemplate},
};

// Place and size as dialog units again, from the pixels Windows (or Wine, which maps the
// units a little differently) gave the control: within one unit of the row.
TEST(TemplateTest, RowsBecomeControlsInTabOrderWithTheirPlaceInDialogUnits) {
    CLanguage language;
    language.SetLanguage(ELanguage::German);
    for (const SDialogCase& c : kDialogs) {
        SCOPED_TRACE(c.pszName);
        const CBareDialog dialog(c.dlg, language);
        ASSERT_NE(dialog.Handle(), nullptr);
        RECT units{0, 0, 400, 800};
        MapDialogRect(dialog.Handle(), &units); // pixels per 400 x 800 units, for precision
        const std::vector<HWND> children = ChildrenInOrder(dialog.Handle());
        ASSERT_EQ(children.size(), c.dlg.controls.size());
        RECT client{};
        GetClientRect(dialog.Handle(), &client);
        EXPECT_NEAR(client.right * 400.0 / units.right, c.dlg.cx, 1.0);
        EXPECT_NEAR(client.bottom * 800.0 / units.bottom, c.dlg.cy, 1.0);
        for (std::size_t i = 0; i < children.size(); ++i) {
            const SControlTemplate& row = c.dlg.controls[i];
            SCOPED_TRACE(row.nId);
            const HWND hControl = children[i];
            EXPECT_EQ(GetDlgCtrlID(hControl), row.nId);
            const SKindExpected& kind = ExpectedOf(row.eKind);
            EXPECT_EQ(ClassOf(hControl), kind.pszClass);
            const LONG_PTR nStyle = GetWindowLongPtrW(hControl, GWL_STYLE);
            EXPECT_EQ(nStyle & kind.nStyleMask, kind.nStyle);
            EXPECT_EQ((nStyle & WS_TABSTOP) != 0, (row.nFlags & kTabStop) != 0);
            EXPECT_EQ((nStyle & WS_DISABLED) != 0, (row.nFlags & kDisabled) != 0);
            EXPECT_EQ((nStyle & WS_VISIBLE) != 0, (row.nFlags & kHidden) == 0);

            RECT rect{};
            GetWindowRect(hControl, &rect);
            MapWindowPoints(nullptr, dialog.Handle(), reinterpret_cast<POINT*>(&rect), 2);
            EXPECT_NEAR(rect.left * 400.0 / units.right, row.x, 1.0);
            EXPECT_NEAR(rect.top * 800.0 / units.bottom, row.y, 1.0);
            EXPECT_NEAR((rect.right - rect.left) * 400.0 / units.right, row.cx, 1.0);
            // A combo box's row gives the height of its list dropped down.
            if (row.eKind != EControlKind::ComboBox) {
                EXPECT_NEAR((rect.bottom - rect.top) * 800.0 / units.bottom, row.cy, 1.0);
            }
        }
    }
}

// Texts with umlauts and mnemonics arrive as the catalogue has them; the font is the
// dialog font of the system, never the bold system font of a template without one.
TEST(TemplateTest, TextsAndFontOfTheTemplate) {
    CLanguage language;
    language.SetLanguage(ELanguage::German);
    const CBareDialog dialog(kFormatDefDlgTemplate, language);
    const std::string strOk = language.GetText(kTextOk); // "&Übernehmen"
    ASSERT_EQ(strOk, "&\xC3\x9C"
                     "bernehmen");
    wchar_t szText[128] = {};
    GetDlgItemTextW(dialog.Handle(), IDC_FD_OK, szText, 128);
    EXPECT_EQ(std::wstring(szText), L"&\u00DCbernehmen");
    const auto hFont = reinterpret_cast<HFONT>(SendMessageW(dialog.Handle(), WM_GETFONT, 0, 0));
    ASSERT_NE(hFont, nullptr);
    LOGFONTW font{};
    GetObjectW(hFont, sizeof(font), &font);
    EXPECT_LT(font.lfWeight, FW_BOLD);
}

} // namespace
