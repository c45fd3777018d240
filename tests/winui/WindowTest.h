#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "support/TempTree.h"
#include "winui/MainWindow.h"

// The main window with the shell's folder and save dialogs answered through its view: the
// rest (clicks, the other dialogs, the clipboard, the files) is the real program.
class CTestMainWindow : public CMainWindow {
public:
    std::optional<std::string> AskFolder(const std::string& strTitle) override;
    std::optional<SSaveChoice> AskSaveFile(const std::string& strName,
                                           const std::vector<SFileType>& types) override;
    void SetAccessibleName(int nId, const std::string& strName) override;

    std::optional<std::string> folder; // what the folder chooser answers
    std::optional<SSaveChoice> save;   // what the save dialog answers
    std::vector<std::string> folderTitles;
    std::vector<std::string> savedNames;
    std::vector<std::vector<SFileType>> offeredTypes;
    std::vector<std::pair<int, std::string>> names; // accessible names given, in order
};

// Each test has its own configuration folder (%APPDATA%) and output folder.
class WindowTest : public testing::Test {
protected:
    WindowTest();
    ~WindowTest() override;

    // formats.def with nLanguage (1 English, 0 German) and its lines.
    void WriteFormats(int nLanguage, const std::vector<std::string>& lines);
    std::string ReadFormats() const;
    // The main window, shown; nullptr-free or the test fails.
    std::unique_ptr<CTestMainWindow> OpenMainWindow();
    // Reads strDir (recursive as bRecursive says) and computes the listing with format nFormat.
    void ListDirectory(CTestMainWindow& window, const std::string& strDir, int nFormat,
                       bool bRecursive = true);

    CTempTree m_config;
    CTempTree m_out;
    CTempTree m_tree;

private:
    std::wstring m_strOldAppData;
};
