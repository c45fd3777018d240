#include "winui/TextFit.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

// Room between a widened control and what stops it, in pixels.
constexpr int kGapPx = 2;
// A combo box's row gives the height of its list dropped down; closed, it is one line.
constexpr int kClosedComboDlu = 12;

bool TakesTextFit(EControlKind eKind) {
    switch (eKind) {
    case EControlKind::Label:
    case EControlKind::CheckBox:
    case EControlKind::PushButton:
    case EControlKind::LeftButton:
    case EControlKind::DefaultButton:
        return true;
    default:
        return false;
    }
}

RECT RowRect(HWND hDlg, const SControlTemplate& row) {
    const int cy = row.eKind == EControlKind::ComboBox ? kClosedComboDlu : row.cy;
    RECT rect{row.x, row.y, row.x + row.cx, row.y + cy};
    MapDialogRect(hDlg, &rect);
    return rect;
}

bool Contains(const RECT& outer, const RECT& inner) {
    return outer.left <= inner.left && outer.top <= inner.top && outer.right >= inner.right &&
           outer.bottom >= inner.bottom;
}

// The width the control's text needs, in pixels, with the room its kind draws around it.
int NeededWidth(HWND hControl, EControlKind eKind) {
    std::wstring strText(static_cast<std::size_t>(GetWindowTextLengthW(hControl)) + 1, L'\0');
    strText.resize(static_cast<std::size_t>(
        GetWindowTextW(hControl, strText.data(), static_cast<int>(strText.size()))));
    if (strText.empty())
        return 0;
    const HDC hDc = GetDC(hControl);
    const HGDIOBJ hOld =
        SelectObject(hDc, reinterpret_cast<HGDIOBJ>(SendMessageW(hControl, WM_GETFONT, 0, 0)));
    RECT rect{};
    UINT nFormat = DT_CALCRECT | DT_SINGLELINE;
    if ((GetWindowLongPtrW(hControl, GWL_STYLE) & SS_NOPREFIX) != 0 && eKind == EControlKind::Label)
        nFormat |= DT_NOPREFIX;
    DrawTextW(hDc, strText.c_str(), static_cast<int>(strText.size()), &rect, nFormat);
    SelectObject(hDc, hOld);
    ReleaseDC(hControl, hDc);
    switch (eKind) {
    case EControlKind::CheckBox:
        return rect.right + GetSystemMetrics(SM_CXMENUCHECK) + 6;
    case EControlKind::Label:
        return rect.right + 1;
    default:
        return rect.right + 12; // a button's edges and its focus rectangle
    }
}

// How far right control i may reach: the next control to its right on its line, the frame it
// lies in, the dialog's margin.
int RightLimit(HWND hDlg, std::span<const SControlTemplate> rows, std::size_t i,
               const std::vector<RECT>& rects) {
    RECT client{};
    GetClientRect(hDlg, &client);
    RECT margin{0, 0, 7, 0};
    MapDialogRect(hDlg, &margin);
    int nLimit = client.right - margin.right;
    const RECT& own = rects[i];
    for (std::size_t j = 0; j < rows.size(); ++j) {
        if (j == i || (rows[j].nFlags & kHidden) != 0)
            continue;
        const RECT& other = rects[j];
        if (Contains(other, own)) {
            nLimit = std::min(nLimit, static_cast<int>(other.right) - 2 * kGapPx);
        } else if (rows[j].eKind != EControlKind::GroupBox && other.left > own.left &&
                   other.top < own.bottom && other.bottom > own.top) {
            nLimit = std::min(nLimit, static_cast<int>(other.left) - kGapPx);
        }
    }
    return nLimit;
}

} // namespace

void FitTextsToFont(HWND hDlg, std::span<const SControlTemplate> rows) {
    std::vector<RECT> rects;
    for (const SControlTemplate& row : rows)
        rects.push_back(RowRect(hDlg, row));
    HWND hControl = GetWindow(hDlg, GW_CHILD);
    for (std::size_t i = 0; i < rows.size() && hControl != nullptr;
         ++i, hControl = GetWindow(hControl, GW_HWNDNEXT)) {
        if (!TakesTextFit(rows[i].eKind))
            continue;
        const RECT& own = rects[i];
        const int nRowWidth = static_cast<int>(own.right - own.left);
        const int nLeft = static_cast<int>(own.left);
        const int nNeeded = NeededWidth(hControl, rows[i].eKind);
        const int nWidth =
            nNeeded <= nRowWidth
                ? nRowWidth
                : std::max(nRowWidth, std::min(nNeeded, RightLimit(hDlg, rows, i, rects) - nLeft));
        SetWindowPos(hControl, nullptr, 0, 0, nWidth, static_cast<int>(own.bottom - own.top),
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}
