#include "platform/ConfigFolder.h"

#include <windows.h>
#include <knownfolders.h>
#include <shlobj.h>

#include <cstdlib>
#include <memory>

#include "platform/windows/WinFile.h"

namespace {

// The user's roaming application data, as the system knows it when %APPDATA% is not set.
std::wstring RoamingAppData() {
    PWSTR pszPath = nullptr;
    const HRESULT hr = SHGetKnownFolderPath(FOLDERID_RoamingAppData, 0, nullptr, &pszPath);
    const std::unique_ptr<wchar_t, decltype(&CoTaskMemFree)> pOwned(pszPath, CoTaskMemFree);
    return SUCCEEDED(hr) && pszPath != nullptr ? std::wstring(pszPath) : std::wstring(L".");
}

} // namespace

std::string ConfigFolder() {
    const wchar_t* pszAppData = _wgetenv(L"APPDATA");
    const std::wstring strBase =
        pszAppData != nullptr && pszAppData[0] != L'\0' ? pszAppData : RoamingAppData();
    return Utf8FromWide(strBase) + "\\kwl";
}

std::string ConfigFilePath(std::string_view strName) {
    return ConfigFolder() + "\\" + std::string(strName);
}
