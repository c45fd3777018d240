#include "winui/PictureButton.h"

#include "winui/Bitmap.h"

void DrawPictureButton(const DRAWITEMSTRUCT& item, const CBitmap& picture,
                       const CBitmap& greyPicture) {
    const bool bPressed = (item.itemState & ODS_SELECTED) != 0;
    const bool bDisabled = (item.itemState & ODS_DISABLED) != 0;
    RECT rect = item.rcItem;
    DrawFrameControl(item.hDC, &rect, DFC_BUTTON,
                     DFCS_BUTTONPUSH | (bPressed ? DFCS_PUSHED : 0) |
                         (bDisabled ? DFCS_INACTIVE : 0));
    const HBITMAP hBitmap = (bDisabled ? greyPicture : picture).Handle();
    BITMAP info{};
    GetObjectW(hBitmap, sizeof(info), &info);
    const int nShift = bPressed ? 1 : 0;
    const int x = (rect.left + rect.right - info.bmWidth) / 2 + nShift;
    const int y = (rect.top + rect.bottom - info.bmHeight) / 2 + nShift;
    const HDC hMemory = CreateCompatibleDC(item.hDC);
    const HGDIOBJ hOld = SelectObject(hMemory, hBitmap);
    BitBlt(item.hDC, x, y, info.bmWidth, info.bmHeight, hMemory, 0, 0, SRCCOPY);
    SelectObject(hMemory, hOld);
    DeleteDC(hMemory);
    if ((item.itemState & ODS_FOCUS) != 0) {
        InflateRect(&rect, -3, -3);
        DrawFocusRect(item.hDC, &rect);
    }
}
