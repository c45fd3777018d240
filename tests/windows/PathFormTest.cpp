// The paths the Windows twins hand to the system: every full path in the form that Windows
// opens however long it is and whatever its names, never changed otherwise. Under Wine long
// paths work without that form too, so the builder is checked here directly.
#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "platform/windows/WinFile.h"

namespace {

TEST(WindowsPathForm, FullPathsGetTheLongFormAndNothingElseChanges) {
    const std::wstring strLong(400, L'p');
    const struct {
        std::wstring strIn;
        std::wstring strOut;
    } cases[] = {
        {L"C:\\dir\\file.txt", L"\\\\?\\C:\\dir\\file.txt"},
        {L"C:\\", L"\\\\?\\C:\\"},
        {L"D:\\name.\\CON", L"\\\\?\\D:\\name.\\CON"}, // names that plain paths lose
        {L"C:\\" + strLong + L"\\" + strLong, L"\\\\?\\C:\\" + strLong + L"\\" + strLong},
        {L"\\\\server\\share\\dir", L"\\\\?\\UNC\\server\\share\\dir"},
        {L"\\\\?\\C:\\already", L"\\\\?\\C:\\already"},
        {L"\\\\?\\UNC\\server\\share", L"\\\\?\\UNC\\server\\share"},
        {L"\\\\.\\pipe\\name", L"\\\\.\\pipe\\name"}, // a device stays a device
        {L"relative\\dir", L"relative\\dir"},         // not a full path: left alone
        {L"C:relative", L"C:relative"},
        {L"", L""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.strIn.begin(), c.strIn.end()).substr(0, 40));
        EXPECT_EQ(LongPathForm(c.strIn), c.strOut);
    }
}

// What a user types (relative, "/" or "\", "." and "..") becomes one full path in the long
// form; a path over MAX_PATH comes back whole.
TEST(WindowsPathForm, UserPathsBecomeFullLongPaths) {
    wchar_t szCurrent[MAX_PATH];
    const DWORD n = GetCurrentDirectoryW(MAX_PATH, szCurrent);
    ASSERT_GT(n, 0u);
    std::wstring strCurrent(szCurrent, n);
    if (!strCurrent.ends_with(L'\\'))
        strCurrent += L'\\';
    const std::string strLong(300, 'q');
    const struct {
        std::string strIn;
        std::wstring strOut;
    } cases[] = {
        {"C:/dir/sub", L"\\\\?\\C:\\dir\\sub"},
        {"C:\\dir\\..\\other\\.\\x", L"\\\\?\\C:\\other\\x"},
        {"sub\\file", L"\\\\?\\" + strCurrent + L"sub\\file"},
        {"C:\\" + strLong + "\\" + strLong,
         L"\\\\?\\C:\\" + std::wstring(strLong.begin(), strLong.end()) + L"\\" +
             std::wstring(strLong.begin(), strLong.end())},
        {"\\\\?\\C:\\kept as given.", L"\\\\?\\C:\\kept as given."},
        {"C:\\Gr\xC3\xBC\xC3\x9F" "e", L"\\\\?\\C:\\Gr\u00FC\u00DFe"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.strIn.substr(0, 40));
        std::wstring strOut;
        ASSERT_FALSE(SystemPath(c.strIn, strOut));
        EXPECT_EQ(strOut, c.strOut);
    }
    std::wstring strOut;
    EXPECT_TRUE(SystemPath("", strOut)) << "an empty path names nothing";
}

} // namespace
