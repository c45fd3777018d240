// Every text is shown whole: under Wine's font, wider than the one the templates were made
// for, the windows widen what does not fit (src/winui/TextFit.cpp).
#include <windows.h>

#include <gtest/gtest.h>

#include "WindowDriver.h"
#include "WindowTest.h"
#include "dialogs/AboutDlgTemplate.h"
#include "dialogs/FormatDefDlgTemplate.h"
#include "dialogs/MainDlgTemplate.h"
#include "lang/Language.h"
#include "support/windows/Wide.h"
#include "winui/AboutWindow.h"
#include "winui/FormatDefWindow.h"

namespace {

// The width the text of a label, check box or button takes in its font, in pixels.
int TextWidth(HWND hControl) {
    const std::wstring strText = Widen(CaptionOf(hControl));
    const HDC hDc = GetDC(hControl);
    const HGDIOBJ hOld =
        SelectObject(hDc, reinterpret_cast<HGDIOBJ>(SendMessageW(hControl, WM_GETFONT, 0, 0)));
    RECT rect{};
    DrawTextW(hDc, strText.c_str(), static_cast<int>(strText.size()), &rect,
              DT_CALCRECT | DT_SINGLELINE);
    SelectObject(hDc, hOld);
    ReleaseDC(hControl, hDc);
    return rect.right;
}

void ExpectTextsFit(HWND hDlg, std::span<const SControlTemplate> rows) {
    HWND hControl = GetWindow(hDlg, GW_CHILD);
    for (const SControlTemplate& row : rows) {
        const bool bMeasured =
            row.eKind == EControlKind::Label || row.eKind == EControlKind::CheckBox ||
            row.eKind == EControlKind::PushButton || row.eKind == EControlKind::LeftButton ||
            row.eKind == EControlKind::DefaultButton;
        if (bMeasured && (row.nFlags & kHidden) == 0) {
            RECT rect{};
            GetClientRect(hControl, &rect);
            EXPECT_LE(TextWidth(hControl), rect.right) << row.nId << " " << CaptionOf(hControl);
        }
        hControl = GetWindow(hControl, GW_HWNDNEXT);
    }
}

class TextsFitTest : public WindowTest {};

TEST_F(TextsFitTest, EveryTextFitsItsControlInBothLanguages) {
    for (int nLanguage : {1, 0}) {
        SCOPED_TRACE(nLanguage);
        WriteFormats(nLanguage, {"D-[D ]-name"});
        std::unique_ptr<CTestMainWindow> pWindow = OpenMainWindow();
        ExpectTextsFit(pWindow->Handle(), kMainDlgLayout);
        const CLanguage& language = pWindow->Controller().Language();
        CFileInformation sampleFile;
        CDirInformation sampleDir;
        CFormatDefWindow definition(language, sampleFile, sampleDir);
        ExpectTextsFit(definition.Create(pWindow->Handle(), language, false),
                       kFormatDefDlgTemplate.controls);
        CAboutWindow about(language);
        ExpectTextsFit(about.Create(pWindow->Handle(), language, false), kAboutDlgLayout);
    }
}

} // namespace
