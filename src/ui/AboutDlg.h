#pragma once

#include <wx/bitmap.h>

#include "ui/DialogTemplate.h"

class CLanguage;

// Control ids of the About box; the panel, the product name and the mail address have none
// of their own.
enum EAboutDlgId : int {
    IDC_ABOUT_OK = 1,
    IDC_ABOUT_CONTACT = 1040,
    IDC_ABOUT_VERSION = 1046,
    IDC_ABOUT_WEB = 1063,
};

// Fixed texts of the About box, the same in both languages.
inline constexpr const char* kProductName = "Kawlen";
inline constexpr const char* kContactAddress = "kwl@kwl.example";

// The About box: the logo on black above a light panel with the product name, the version,
// the contact address and the web address.
class CAboutDlg : public CTemplateDialog {
public:
    CAboutDlg(wxWindow* pParent, const CLanguage& language);

private:
    void WidenLinesToFit();
    void OnPaint(wxPaintEvent& event);

    wxBitmap m_bmpLogo;
    wxPoint m_logoPos{5, 5}; // client pixels, unscaled
};
