#include "ui/AboutDlg.h"

#include <wx/control.h>
#include <wx/dcclient.h>
#include <wx/settings.h>

#include <algorithm>

#include "dialogs/AboutController.h"
#include "dialogs/DialogTexts.h"
#include "ui/WxText.h"

#include "../res/logo.xpm"

CAboutDlg::CAboutDlg(wxWindow* pParent, const CLanguage& language)
    : CTemplateDialog(pParent, ToWx(DialogCaption(kAboutDlgTemplate, language)), kAboutDlgTemplate),
      m_bmpLogo(logo_xpm) {
    ShowAboutTexts(*this, language);
    SetAffirmativeId(IDC_ABOUT_OK);
    SetEscapeId(IDC_ABOUT_OK);
    SetBackgroundColour(*wxBLACK);
    Bind(wxEVT_PAINT, &CAboutDlg::OnPaint, this);
    Control(IDC_ABOUT_OK)->SetFocus();
}

// A line whose text does not fit may take the panel up to its right edge.
void CAboutDlg::FitTexts() {
    const wxRect panel = PixelRect(Template().front());
    auto it = GetChildren().begin();
    for (const SControlTemplate& row : Template().subspan(1)) {
        auto* pControl = dynamic_cast<wxControl*>(*++it);
        if (row.eKind != EControlKind::Label || pControl == nullptr)
            continue;
        wxSize size = pControl->GetSize();
        const int nNeeded = pControl->GetTextExtent(pControl->GetLabelText()).x;
        if (nNeeded > size.x) {
            size.x = std::min(nNeeded, panel.GetRight() + 1 - pControl->GetPosition().x);
            pControl->SetSize(size);
        }
    }
}

// On the black background: the logo at full size, and the light panel behind the text lines
// (the labels draw no background of their own).
void CAboutDlg::OnPaint(wxPaintEvent&) {
    wxPaintDC dc(this);
    dc.DrawBitmap(m_bmpLogo, m_logoPos);
    dc.SetPen(*wxTRANSPARENT_PEN);
    dc.SetBrush(wxBrush(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNFACE)));
    dc.DrawRectangle(PixelRect(Template().front()));
}
