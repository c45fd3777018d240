// The format definition dialog on Windows, driven with real messages: the worked example
// builds the second default format step by step, as on Linux.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>

#include "WindowDriver.h"
#include "dialogs/FormatDefDlgTemplate.h"
#include "lang/Language.h"
#include "winui/FormatDefWindow.h"

namespace {

void AddRow(HWND hDlg, std::initializer_list<int> boxes, int nButton) {
    for (int nBox : boxes)
        Tick(hDlg, nBox, true);
    Click(hDlg, nButton);
}

void AddText(HWND hDlg, const std::string& strText, std::initializer_list<int> boxes, int nButton) {
    Type(hDlg, IDC_FD_TEXT, strText);
    AddRow(hDlg, boxes, nButton);
}

struct SExampleStep {
    std::function<void(HWND)> fnDo;
    const char* pszAppended;
};

TEST(FormatDefWindowTest, WorkedExampleBuildsTheSecondDefaultFormat) {
    const SExampleStep steps[] = {
        {[](HWND h) {
             AddRow(h, {IDC_FD_NAME_DIR, IDC_FD_NAME_FILE}, IDC_FD_ADD_NAME);
         },
         "name"},
        {[](HWND h) { AddText(h, "(", {IDC_FD_TEXT_FILE}, IDC_FD_ADD_TEXT_BEFORE); }, "|F-[(]"},
        {[](HWND h) { AddRow(h, {IDC_FD_SIZE_FILE}, IDC_FD_ADD_SIZE); }, "-F-size"},
        {[](HWND h) { AddText(h, " bytes)", {IDC_FD_TEXT_FILE}, IDC_FD_ADD_TEXT); },
         "-F-[ bytes)]"},
        {[](HWND h) {
             AddText(h, "[", {IDC_FD_TEXT_DIR, IDC_FD_TEXT_FILE}, IDC_FD_ADD_TEXT_BEFORE);
         },
         "|[\\[]"},
        {[](HWND h) {
             AddRow(h, {IDC_FD_CRTIME_DIR, IDC_FD_CRTIME_FILE}, IDC_FD_ADD_CRTIME);
         },
         "-crTime"},
        {[](HWND h) {
             AddText(h, "]", {IDC_FD_TEXT_DIR, IDC_FD_TEXT_FILE}, IDC_FD_ADD_TEXT);
         },
         "-[\\]]"},
    };
    CLanguage language;
    language.SetLanguage(ELanguage::English);
    CFileInformation sampleFile;
    sampleFile.Set(4321, "Name.ext", false, false, false, false, true, CTime(1000000000),
                   CTime(1000000000), CTime(1000000000));
    CDirInformation sampleDir;
    sampleDir.Set("Name", CTime(1000000000), 54321, 123);
    CFormatDefWindow window(language, sampleFile, sampleDir);
    const HWND hDlg = window.Create(nullptr, language, false);
    ASSERT_NE(hDlg, nullptr);
    EXPECT_FALSE(IsEnabled(hDlg, IDC_FD_OK));
    std::string strExpected;
    for (const SExampleStep& step : steps) {
        SCOPED_TRACE(step.pszAppended);
        step.fnDo(hDlg);
        strExpected += step.pszAppended;
        EXPECT_EQ(TextOf(hDlg, IDC_FD_FORMAT), strExpected);
        EXPECT_EQ(window.Line(), strExpected);
        // The text row is ready for more text, the text buttons wait for it.
        EXPECT_EQ(TextOf(hDlg, IDC_FD_TEXT), "");
        EXPECT_FALSE(IsEnabled(hDlg, IDC_FD_ADD_TEXT_BEFORE));
        EXPECT_FALSE(IsEnabled(hDlg, IDC_FD_ADD_TEXT));
    }
    EXPECT_EQ(window.Line(), "name|F-[(]-F-size-F-[ bytes)]|[\\[]-crTime-[\\]]");
    EXPECT_TRUE(TextOf(hDlg, IDC_FD_SAMPLE_FILE).starts_with("Name.ext (4321 bytes) ["));
    EXPECT_TRUE(TextOf(hDlg, IDC_FD_SAMPLE_DIR).starts_with("Name ["));
    EXPECT_TRUE(IsEnabled(hDlg, IDC_FD_OK));
    // Name, size and creation time are used for every kind that has them.
    for (int nBox : {IDC_FD_NAME_DIR, IDC_FD_NAME_FILE, IDC_FD_SIZE_FILE, IDC_FD_CRTIME_DIR,
                     IDC_FD_CRTIME_FILE}) {
        EXPECT_FALSE(IsEnabled(hDlg, nBox)) << nBox;
    }
    EXPECT_TRUE(IsEnabled(hDlg, IDC_FD_SIZE_DIR));
}

} // namespace
