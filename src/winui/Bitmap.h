#pragma once

#include <windows.h>

// A bitmap of the program's resources, deleted with its owner.
class CBitmap {
public:
    explicit CBitmap(int nResourceId)
        : m_hBitmap(static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr),
                                                    MAKEINTRESOURCEW(nResourceId), IMAGE_BITMAP, 0,
                                                    0, LR_DEFAULTCOLOR))) {}
    ~CBitmap() {
        if (m_hBitmap != nullptr)
            DeleteObject(m_hBitmap);
    }
    CBitmap(const CBitmap&) = delete;
    CBitmap& operator=(const CBitmap&) = delete;

    HBITMAP Handle() const { return m_hBitmap; }

private:
    HBITMAP m_hBitmap;
};
