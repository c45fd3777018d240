#include "winui/FileDialogs.h"

#include <shobjidl.h>
#include <wrl/client.h>

#include "winui/WideText.h"

using Microsoft::WRL::ComPtr;

namespace {

// Owns what IShellItem::GetDisplayName hands out.
struct SCoTaskText {
    PWSTR psz = nullptr;
    ~SCoTaskText() { CoTaskMemFree(psz); }
};

std::optional<std::string> ResultPath(IFileDialog& dialog) {
    ComPtr<IShellItem> pItem;
    if (FAILED(dialog.GetResult(&pItem)))
        return std::nullopt;
    SCoTaskText path;
    if (FAILED(pItem->GetDisplayName(SIGDN_FILESYSPATH, &path.psz)))
        return std::nullopt;
    return Utf8(path.psz);
}

} // namespace

std::optional<std::string> ChooseFolder(HWND hOwner, const std::string& strTitle) {
    ComPtr<IFileOpenDialog> pDialog;
    if (FAILED(CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER,
                                IID_PPV_ARGS(&pDialog))))
        return std::nullopt;
    FILEOPENDIALOGOPTIONS options = 0;
    pDialog->GetOptions(&options);
    pDialog->SetOptions(options | FOS_PICKFOLDERS | FOS_FORCEFILESYSTEM | FOS_PATHMUSTEXIST);
    pDialog->SetTitle(Wide(strTitle).c_str());
    if (FAILED(pDialog->Show(hOwner)))
        return std::nullopt;
    return ResultPath(*pDialog.Get());
}

std::optional<SSaveChoice> AskSavePath(HWND hOwner, const std::string& strName,
                                       const std::vector<SFileType>& types) {
    ComPtr<IFileSaveDialog> pDialog;
    if (FAILED(CoCreateInstance(CLSID_FileSaveDialog, nullptr, CLSCTX_INPROC_SERVER,
                                IID_PPV_ARGS(&pDialog))))
        return std::nullopt;
    // The texts must outlive SetFileTypes' array.
    std::vector<std::wstring> texts;
    for (const SFileType& type : types) {
        texts.push_back(Wide(type.strDescription + " (*." + type.strExtension + ")"));
        texts.push_back(Wide("*." + type.strExtension));
    }
    std::vector<COMDLG_FILTERSPEC> specs;
    for (std::size_t i = 0; i < texts.size(); i += 2)
        specs.push_back({texts[i].c_str(), texts[i + 1].c_str()});
    pDialog->SetFileTypes(static_cast<UINT>(specs.size()), specs.data());
    pDialog->SetFileTypeIndex(1);
    FILEOPENDIALOGOPTIONS options = 0;
    pDialog->GetOptions(&options);
    pDialog->SetOptions(options | FOS_OVERWRITEPROMPT | FOS_FORCEFILESYSTEM);
    const std::wstring strWideName = Wide(strName);
    pDialog->SetFileName(strWideName.c_str());
    // The extension after the last dot of the proposed name: "KWL.txt" gives "txt".
    if (const std::size_t nDot = strWideName.rfind(L'.'); nDot != std::wstring::npos)
        pDialog->SetDefaultExtension(strWideName.c_str() + nDot + 1);
    if (FAILED(pDialog->Show(hOwner)))
        return std::nullopt;
    std::optional<std::string> strPath = ResultPath(*pDialog.Get());
    if (!strPath)
        return std::nullopt;
    UINT nType = 1;
    pDialog->GetFileTypeIndex(&nType);
    return SSaveChoice{std::move(*strPath), nType > 0 ? nType - 1 : 0};
}
