#pragma once

#include <wx/bitmap.h>

#include "dialogs/AboutDlgTemplate.h"
#include "ui/DialogTemplate.h"

class CLanguage;

// The About box: the logo on black above a light panel with the product name, the version,
// the contact address and the web address.
class CAboutDlg : public CTemplateDialog {
public:
    CAboutDlg(wxWindow* pParent, const CLanguage& language);

    // The template measures the lines for a narrower font than the toolkit's.
    void FitTexts() override;

private:
    void OnPaint(wxPaintEvent& event);

    wxBitmap m_bmpLogo;
    wxPoint m_logoPos{kAboutLogoX, kAboutLogoY}; // client pixels, unscaled
};
