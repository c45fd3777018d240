#pragma once

#include "dialogs/AboutDlgTemplate.h"
#include "winui/Bitmap.h"
#include "winui/DialogView.h"

class CLanguage;

// The About box: the logo on black, the text lines on a light panel below it.
class CAboutWindow : public CDialogView<IDialogView> {
public:
    explicit CAboutWindow(const CLanguage& language);

private:
    void OnInit() override;
    void OnCommand(int nId, int nCode) override;
    INT_PTR OnMessage(UINT nMessage, WPARAM wParam, LPARAM lParam) override;
    void PaintLogoAndPanel();

    const CLanguage& m_language;
    CBitmap m_logo;
};
