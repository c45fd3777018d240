#include "WindowTest.h"

#include <cstdlib>

#include "WindowDriver.h"
#include "dialogs/MainDlgTemplate.h"
#include "support/Files.h"
#include "support/windows/Wide.h"

std::optional<std::string> CTestMainWindow::AskFolder(const std::string& strTitle) {
    folderTitles.push_back(strTitle);
    return folder;
}

std::optional<SSaveChoice> CTestMainWindow::AskSaveFile(const std::string& strName,
                                                        const std::vector<SFileType>& types) {
    savedNames.push_back(strName);
    offeredTypes.push_back(types);
    return save;
}

void CTestMainWindow::SetAccessibleName(int nId, const std::string& strName) {
    names.emplace_back(nId, strName);
    CMainWindow::SetAccessibleName(nId, strName);
}

WindowTest::WindowTest() {
    if (const wchar_t* pszOld = _wgetenv(L"APPDATA"))
        m_strOldAppData = pszOld;
    _wputenv_s(L"APPDATA", Widen(m_config.Root()).c_str());
}

WindowTest::~WindowTest() {
    _wputenv_s(L"APPDATA", m_strOldAppData.c_str());
    PumpMessages();
}

void WindowTest::WriteFormats(int nLanguage, const std::vector<std::string>& lines) {
    std::string strText = std::to_string(nLanguage) + "\r\n";
    for (const std::string& strLine : lines)
        strText += strLine + "\r\n";
    m_config.AddDir("kwl");
    WriteFile(m_config.Path("kwl/formats.def"), strText);
}

std::string WindowTest::ReadFormats() const {
    return ReadFile(m_config.Path("kwl/formats.def"));
}

std::unique_ptr<CTestMainWindow> WindowTest::OpenMainWindow() {
    auto pWindow = std::make_unique<CTestMainWindow>();
    EXPECT_NE(pWindow->Open(), nullptr);
    PumpMessages();
    return pWindow;
}

void WindowTest::ListDirectory(CTestMainWindow& window, const std::string& strDir, int nFormat,
                               bool bRecursive) {
    const HWND hDlg = window.Handle();
    ChooseEntry(hDlg, IDC_FORMATS, nFormat);
    Tick(hDlg, IDC_RECURSIVE, bRecursive);
    window.folder = strDir;
    Click(hDlg, IDC_SELECT_DIRECTORY);
    ASSERT_TRUE(IsEnabled(hDlg, IDC_COMPUTE_LIST));
    Click(hDlg, IDC_COMPUTE_LIST);
    ASSERT_TRUE(IsEnabled(hDlg, IDC_EXPORT_TEXTFILE));
}
