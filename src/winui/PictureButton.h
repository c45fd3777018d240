#pragma once

#include <windows.h>

class CBitmap;

// Draws an owner-drawn push button (WM_DRAWITEM) as a picture button: the button's frame,
// pressed or not, the picture centred on it (the grey one when the button is disabled) and
// the focus rectangle.
void DrawPictureButton(const DRAWITEMSTRUCT& item, const CBitmap& picture,
                       const CBitmap& greyPicture);
