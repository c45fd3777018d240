// The About box: its texts in both languages, its template, and F1 from the main dialog.
#include <wx/dcmemory.h>
#include <wx/dcscreen.h>
#include <wx/image.h>
#include <wx/uiaction.h>

#include <span>
#include <vector>

#include "DialogDriver.h"
#include "ui/AboutDlg.h"
#include "lang/Language.h"
#include "lang/TextId.h"
#include "ui/WxText.h"

#include "../res/logo.xpm"

// What an About box showed when it was opened; the box is closed with its OK button.
struct SAboutSeen {
    int nOpened = 0;
    wxString strCaption;
    wxString strContact;
};

template <> class wxExpectModal<CAboutDlg> : public wxExpectModalBase<CAboutDlg> {
public:
    explicit wxExpectModal(SAboutSeen* pSeen) : m_pSeen(pSeen) {}

protected:
    int OnInvoked(CAboutDlg* pDlg) const override {
        ++m_pSeen->nOpened;
        m_pSeen->strCaption = pDlg->GetTitle();
        m_pSeen->strContact = TextOf(pDlg, IDC_ABOUT_CONTACT);
        Click(pDlg, IDC_ABOUT_OK);
        return IDC_ABOUT_OK;
    }

private:
    SAboutSeen* m_pSeen;
};

namespace {

TWindowPtr<CAboutDlg> ShowAboutDialog(const CLanguage& language) {
    return ShowModeless(new CAboutDlg(nullptr, language));
}

class AboutDlgTest : public CGuiTest {};

TEST_F(AboutDlgTest, TextsInBothLanguages) {
    struct SCase {
        ELanguage eLanguage;
        const char* pszCaption;
        const char* pszContact;
        const char* pszSegment;
    };
    const SCase cases[] = {{ELanguage::English, "Info about KWL...", "Contact:", "/en/"},
                           {ELanguage::German,
                            "Info \xC3\xBC"
                            "ber KWL...",
                            "Kontakt:", "/de/"}};
    for (const SCase& c : cases) {
        SCOPED_TRACE(LanguageId(c.eLanguage));
        TWindowPtr<CAboutDlg> pDlg = ShowAboutDialog(CLanguage(c.eLanguage));
        EXPECT_EQ(pDlg->GetTitle(), wxString::FromUTF8(c.pszCaption));
        EXPECT_EQ(TextOf(pDlg.get(), IDC_ABOUT_CONTACT), c.pszContact);
        EXPECT_EQ(TextOf(pDlg.get(), IDC_ABOUT_VERSION), "Version 0.9.1 (23.11.2002)");
        EXPECT_EQ(TextOf(pDlg.get(), IDC_ABOUT_OK), "OK");
        EXPECT_EQ(wxWindow::FindFocus(), pDlg->FindWindow(IDC_ABOUT_OK));
        // The same web page in the language's folder, on the host of the mail address.
        const wxString strWeb = TextOf(pDlg.get(), IDC_ABOUT_WEB);
        const wxString strHost = wxString(kContactAddress).AfterFirst('@');
        EXPECT_EQ(strWeb, "https://" + strHost + c.pszSegment + "sw/kwl/");
        // The lines without a catalogue entry (the panel, the product name, the mail address)
        // show their fixed text in both languages.
        const wxWindowList& children = pDlg->GetChildren();
        ASSERT_EQ(children.size(), pDlg->Template().size());
        std::vector<wxString> fixedLines;
        for (std::size_t i = 0; i < children.size(); ++i) {
            const SControlTemplate& row = pDlg->Template()[i];
            if (row.eText == kNoText && row.eKind == EControlKind::Label) {
                EXPECT_EQ(children[i]->GetLabel(), ToWx(row.pszText)) << i;
                fixedLines.push_back(children[i]->GetLabel());
            }
        }
        EXPECT_EQ(fixedLines, (std::vector<wxString>{"", "Kawlen", kContactAddress}));
    }
}

TEST_F(AboutDlgTest, TemplateRowsBecomeControlsInTabOrder) {
    TWindowPtr<CAboutDlg> pDlg = ShowAboutDialog(CLanguage(ELanguage::English));
    EXPECT_EQ(pDlg->GetClientSize(), pDlg->ConvertDialogToPixels(wxSize(227, 106)));
    const SControlTemplate& panelRow = pDlg->Template().front();
    const wxRect panel = pDlg->PixelRect(panelRow);
    ForEachTemplateControl(*pDlg, [&](const SControlTemplate& row, wxWindow& control,
                                      const wxRect& rect) {
        EXPECT_EQ(control.GetPosition(), rect.GetPosition());
        EXPECT_EQ(control.GetSize().y, rect.height);
        if (&row != &panelRow && row.nId != IDC_ABOUT_OK) {
            // A line that needs more room than the template gives it may take the panel's.
            EXPECT_GE(control.GetSize().x, rect.width);
            const wxString strText = static_cast<const wxControl&>(control).GetLabelText();
            EXPECT_GE(control.GetSize().x, control.GetTextExtent(strText).x) << strText;
            EXPECT_LE(control.GetRect().GetRight(), panel.GetRight());
            EXPECT_TRUE(panel.Contains(control.GetRect()));
        } else {
            EXPECT_EQ(control.GetSize().x, rect.width);
        }
        EXPECT_TRUE(control.IsShown());
    });
    EXPECT_EQ(pDlg->GetDefaultItem(), pDlg->FindWindow(IDC_ABOUT_OK));
}

// The accelerator's command, as F1 gives it, opens the box in the current language.
TEST_F(AboutDlgTest, AboutCommandOpensTheBoxInTheCurrentLanguage) {
    TWindowPtr<CKWLDlg> pDlg = ShowMainDialog();
    SAboutSeen seen;
    wxCommandEvent f1(wxEVT_MENU, ID_ABOUT);
    wxTEST_DIALOG(pDlg->GetEventHandler()->ProcessEvent(f1), wxExpectModal<CAboutDlg>(&seen));
    EXPECT_EQ(seen.strCaption, "Info about KWL...");

    Click(pDlg.get(), IDC_FLAG_GERMAN);
    wxTEST_DIALOG(pDlg->GetEventHandler()->ProcessEvent(f1), wxExpectModal<CAboutDlg>(&seen));
    EXPECT_EQ(seen.strCaption, wxString::FromUTF8("Info \xC3\xBC"
                                                  "ber KWL..."));
    EXPECT_EQ(seen.strContact, "Kontakt:");
    EXPECT_EQ(seen.nOpened, 2);
}

// A smoke test with the real key: F1 wherever the focus is in the main dialog.
TEST_F(AboutDlgTest, F1FromSeveralControls) {
    TWindowPtr<CKWLDlg> pDlg = ShowMainDialog();
    pDlg->Raise();
    wxUIActionSimulator sim;
    sim.MouseMove(pDlg->ClientToScreen(wxPoint(10, 10)));
    Flush();
    for (int nId : {IDC_RECURSIVE, IDC_FORMATS, IDC_SELECT_DIRECTORY, IDC_PREVIEW, IDC_FLAG_GERMAN,
                    IDC_QUIT}) {
        SCOPED_TRACE(nId);
        pDlg->FindWindow(nId)->SetFocus();
        Flush();
        ASSERT_EQ(wxWindow::FindFocus(), pDlg->FindWindow(nId));
        SAboutSeen seen;
        wxTEST_DIALOG(
            {
                sim.Char(WXK_F1);
                for (int i = 0; i < 100 && seen.nOpened == 0; ++i) {
                    Flush();
                    wxMilliSleep(10);
                }
            },
            wxExpectModal<CAboutDlg>(&seen));
        EXPECT_EQ(seen.nOpened, 1);
    }
}

} // namespace

namespace {

// The client area of pDlg as the screen shows it.
wxImage ScreenImage(wxWindow* pDlg) {
    const wxSize client = pDlg->GetClientSize();
    wxBitmap shot(client);
    wxScreenDC screen;
    wxMemoryDC mem(shot);
    const wxPoint origin = pDlg->ClientToScreen(wxPoint(0, 0));
    mem.Blit(0, 0, client.x, client.y, &screen, origin.x, origin.y);
    mem.SelectObject(wxNullBitmap);
    return shot.ConvertToImage();
}

int CountDifferentPixels(const wxImage& image, const wxImage& part, wxPoint at) {
    int nDifferent = 0;
    for (int y = 0; y < part.GetHeight(); ++y) {
        for (int x = 0; x < part.GetWidth(); ++x) {
            if (image.GetRed(x + at.x, y + at.y) != part.GetRed(x, y) ||
                image.GetGreen(x + at.x, y + at.y) != part.GetGreen(x, y) ||
                image.GetBlue(x + at.x, y + at.y) != part.GetBlue(x, y))
                ++nDifferent;
        }
    }
    return nDifferent;
}

// Black around the logo, the logo at (5, 5) pixel for pixel, and the light panel: read back
// from the screen, as the user sees the box.
TEST_F(AboutDlgTest, PaintsTheLogoOnBlackAndThePanel) {
    TWindowPtr<CAboutDlg> pDlg = ShowAboutDialog(CLanguage(ELanguage::English));
    pDlg->Raise();
    const wxImage logo = wxBitmap(logo_xpm).ConvertToImage();
    ASSERT_EQ(logo.GetSize(), wxSize(218, 77));
    // The box may take a moment to be painted: look again until the logo is there.
    wxImage image;
    int nDifferent = -1;
    for (int nTry = 0; nTry < 50 && nDifferent != 0; ++nTry) {
        Flush();
        wxMilliSleep(20);
        image = ScreenImage(pDlg.get());
        nDifferent = CountDifferentPixels(image, logo, wxPoint(5, 5));
    }
    EXPECT_EQ(nDifferent, 0);
    const wxSize client = pDlg->GetClientSize();
    auto isBlack = [&](wxPoint pt) {
        return image.GetRed(pt.x, pt.y) == 0 && image.GetGreen(pt.x, pt.y) == 0 &&
               image.GetBlue(pt.x, pt.y) == 0;
    };
    EXPECT_TRUE(isBlack({2, 2}));
    EXPECT_TRUE(isBlack({client.x - 3, 3}));
    EXPECT_TRUE(isBlack({client.x - 3, client.y - 3}));
    const wxRect panel = pDlg->PixelRect(pDlg->Template().front());
    const wxPoint inPanel(panel.GetRight() - 3, panel.GetBottom() - 3);
    EXPECT_GT(image.GetRed(inPanel.x, inPanel.y), 160); // light, so dark text reads on it
}

} // namespace
