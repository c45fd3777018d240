// The shell's own dialogs as the main window opens them, filled in as a user would: a path
// typed into the name field, a file type chosen, OK or Cancel.
#include <windows.h>

#include <gtest/gtest.h>

#include "WindowDriver.h"
#include "support/TempTree.h"
#include "support/windows/Wide.h"
#include "winui/FileDialogs.h"

namespace {

BOOL CALLBACK FindEditProc(HWND hWnd, LPARAM lParam) {
    wchar_t szClass[16] = {};
    GetClassNameW(hWnd, szClass, 16);
    if (lstrcmpiW(szClass, L"Edit") == 0 && IsWindowVisible(hWnd)) {
        *reinterpret_cast<HWND*>(lParam) = hWnd;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK FindTypesProc(HWND hWnd, LPARAM lParam) {
    wchar_t szClass[16] = {};
    GetClassNameW(hWnd, szClass, 16);
    // The type list is the drop-down list without an edit field of its own.
    if (lstrcmpiW(szClass, L"ComboBox") == 0 &&
        (GetWindowLongPtrW(hWnd, GWL_STYLE) & 3) == CBS_DROPDOWNLIST) {
        *reinterpret_cast<HWND*>(lParam) = hWnd;
        return FALSE;
    }
    return TRUE;
}

// Types strPath into the dialog's name field, chooses file type nType (when >= 0) and accepts.
CDialogAnswers::FAnswer TypeAndAccept(const std::string& strPath, int nType = -1) {
    return [strPath, nType](HWND hDlg) {
        if (nType >= 0) {
            HWND hTypes = nullptr;
            EnumChildWindows(hDlg, FindTypesProc, reinterpret_cast<LPARAM>(&hTypes));
            ASSERT_NE(hTypes, nullptr);
            SendMessageW(hTypes, CB_SETCURSEL, static_cast<WPARAM>(nType), 0);
            SendMessageW(GetParent(hTypes), WM_COMMAND,
                         MAKEWPARAM(GetDlgCtrlID(hTypes), CBN_SELCHANGE),
                         reinterpret_cast<LPARAM>(hTypes));
        }
        HWND hEdit = nullptr;
        EnumChildWindows(hDlg, FindEditProc, reinterpret_cast<LPARAM>(&hEdit));
        ASSERT_NE(hEdit, nullptr);
        SetWindowTextW(hEdit, Widen(strPath).c_str());
        PostMessageW(hDlg, WM_COMMAND, IDOK, 0);
    };
}

TEST(ShellDialogsTest, FolderChooserGivesTheFolderPicked) {
    CTempTree tree;
    const std::string strDir = tree.AddDir("chosen \xC3\xA4");
    const CDialogAnswers answers({TypeAndAccept(strDir)});
    const std::optional<std::string> strChosen = ChooseFolder(nullptr, "Select Directory...");
    ASSERT_EQ(answers.Captions().size(), 1u);
    EXPECT_EQ(answers.Captions()[0], "Select Directory...");
    ASSERT_TRUE(strChosen.has_value());
    EXPECT_EQ(*strChosen, strDir);
}

TEST(ShellDialogsTest, SaveDialogGivesThePathAndTheTypeChosen) {
    CTempTree tree;
    const std::vector<SFileType> types = {{"HTML table", "html"}, {"Browsable HTML page", "html"}};
    for (int nType : {0, 1}) {
        SCOPED_TRACE(nType);
        const std::string strPath = tree.Path("page" + std::to_string(nType) + ".html");
        const CDialogAnswers answers({TypeAndAccept(strPath, nType)});
        const std::optional<SSaveChoice> choice = AskSavePath(nullptr, "KWL.html", types);
        ASSERT_TRUE(choice.has_value());
        EXPECT_EQ(choice->strPath, strPath);
        EXPECT_EQ(choice->nFileType, static_cast<std::size_t>(nType));
    }
    const CDialogAnswers answers({ClickButton(IDCANCEL)});
    EXPECT_FALSE(AskSavePath(nullptr, "KWL.txt", {{"txt Files", "txt"}}).has_value());
    EXPECT_EQ(answers.Captions().size(), 1u);
}

} // namespace
