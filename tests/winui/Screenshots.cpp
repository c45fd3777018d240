// The pictures of the Windows dialogs in docs/, made on demand (not part of a test run), with
//   scripts/screenshot-windows.sh
// which runs this test under Wine on Xvfb and turns the pictures into PNG files. Each window
// is copied from the screen as the user sees it, frame and caption included.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "WindowDriver.h"
#include "WindowTest.h"
#include "dialogs/MainDlgTemplate.h"
#include "dialogs/ProgressTexts.h"
#include "platform/WorkProgress.h"
#include "winui/AboutWindow.h"
#include "winui/FormatDefWindow.h"
#include "winui/ProgressWindow.h"
#include "winui/SeparatorWindow.h"

namespace {

// Lets the window draw itself completely.
void Settle(HWND hWnd) {
    SetForegroundWindow(hWnd);
    for (int i = 0; i < 10; ++i) {
        RedrawWindow(hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        PumpMessages();
        Sleep(50);
    }
}

// The window's place on the screen as a 24-bit BMP file.
void SaveScreenshot(HWND hWnd, const std::string& strPath) {
    Settle(hWnd);
    RECT rect{};
    GetWindowRect(hWnd, &rect);
    const int cx = rect.right - rect.left;
    const int cy = rect.bottom - rect.top;
    const HDC hScreen = GetDC(nullptr);
    const HDC hMemory = CreateCompatibleDC(hScreen);
    const HBITMAP hBitmap = CreateCompatibleBitmap(hScreen, cx, cy);
    const HGDIOBJ hOld = SelectObject(hMemory, hBitmap);
    BitBlt(hMemory, 0, 0, cx, cy, hScreen, rect.left, rect.top, SRCCOPY);
    SelectObject(hMemory, hOld);
    BITMAPINFOHEADER info{sizeof(BITMAPINFOHEADER), cx, cy, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    const int nStride = (cx * 3 + 3) & ~3;
    std::string strPixels(static_cast<std::size_t>(nStride * cy), '\0');
    GetDIBits(hMemory, hBitmap, 0, static_cast<UINT>(cy), strPixels.data(),
              reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
    DeleteObject(hBitmap);
    DeleteDC(hMemory);
    ReleaseDC(nullptr, hScreen);
    const BITMAPFILEHEADER file{
        0x4D42, static_cast<DWORD>(sizeof(BITMAPFILEHEADER) + sizeof(info) + strPixels.size()), 0,
        0, sizeof(BITMAPFILEHEADER) + sizeof(info)};
    std::ofstream out(strPath, std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof(file));
    out.write(reinterpret_cast<const char*>(&info), sizeof(info));
    out.write(strPixels.data(), static_cast<std::streamsize>(strPixels.size()));
    ASSERT_TRUE(out.good()) << strPath;
}

class Screenshots : public WindowTest {};

TEST_F(Screenshots, DISABLED_EveryDialogInBothLanguages) {
    const char* pszDir = std::getenv("KWL_SCREENSHOTS");
    ASSERT_NE(pszDir, nullptr) << "KWL_SCREENSHOTS names the folder for the pictures";
    const std::string strDir = MakeExampleTree(m_tree);
    for (const char* pszLanguage : {"en", "de"}) {
        const bool bGerman = std::string(pszLanguage) == "de";
        const std::string strSuffix = std::string("-") + pszLanguage + ".bmp";
        const auto fnPath = [&](const char* pszName) {
            return std::string(pszDir) + "\\windows-" + pszName + strSuffix;
        };
        WriteFormats(
            bGerman ? 0 : 1,
            {"D-[D ]-name", "name|F-[(]-F-size-F-[ bytes)]|[\\[]-crTime-[\\]]", "name|F-size"});
        std::unique_ptr<CTestMainWindow> pWindow = OpenMainWindow();
        ListDirectory(*pWindow, strDir, 1);
        SaveScreenshot(pWindow->Handle(), fnPath("main"));
        const CLanguage& language = pWindow->Controller().Language();
        const HWND hOwner = pWindow->Handle();
        {
            CFileInformation sampleFile;
            sampleFile.Set(4321, "Name.ext", false, false, false, false, true, CTime(1000000000),
                           CTime(1000000000), CTime(1000000000));
            CDirInformation sampleDir;
            sampleDir.Set("Name", CTime(1000000000), 54321, 123);
            CFormatDefWindow window(language, sampleFile, sampleDir);
            const HWND hDlg = window.Create(hOwner, language, false);
            Tick(hDlg, IDC_FD_NAME_DIR, true);
            Tick(hDlg, IDC_FD_NAME_FILE, true);
            Click(hDlg, IDC_FD_ADD_NAME);
            SaveScreenshot(hDlg, fnPath("format-definition"));
        }
        {
            CSeparatorWindow window(language);
            SaveScreenshot(window.Create(hOwner, language, false), fnPath("separator"));
        }
        {
            CAboutWindow window(language);
            SaveScreenshot(window.Create(hOwner, language, false), fnPath("about"));
        }
        {
            SWorkProgress progress;
            progress.Add(123456);
            CProgressWindow window(progress,
                                   MakeProgressLabels(EProgressText::ReadingTitle,
                                                      EProgressText::EntriesRead,
                                                      language.GetLanguage()),
                                   [] { return false; });
            SaveScreenshot(window.Create(hOwner, language, false), fnPath("progress"));
        }
    }
}

} // namespace
