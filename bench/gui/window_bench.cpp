// Memory and time of the main window on a large tree: the resident size after the window is
// shown, after the recursive scan of DIR, after Compute List and after a copy to the
// clipboard, as the user would click them; per entry of the tree.
// Run under a display: scripts/xvfb.sh build/bench/window_bench DIR [FORMAT]
// FORMAT is the format line to list with (default: the first built-in line).
#include <wx/app.h>
#include <wx/checkbox.h>
#include <wx/clipbrd.h>
#include <wx/combobox.h>
#include <wx/dirdlg.h>
#include <wx/init.h>
#include <wx/modalhook.h>

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "ui/KWLDlg.h"

namespace {

// Picks the directory in the folder chooser; every other dialog (the progress window) runs.
class CChooseDirectory : public wxModalDialogHook {
public:
    explicit CChooseDirectory(const wxString& strPath) : m_strPath(strPath) { Register(); }
    ~CChooseDirectory() override { Unregister(); }

protected:
    int Enter(wxDialog* pDlg) override {
        auto* pChooser = dynamic_cast<wxDirDialog*>(pDlg);
        if (pChooser == nullptr)
            return wxID_NONE;
        pChooser->SetPath(m_strPath);
        pChooser->wxDirDialogBase::SetPath(m_strPath); // GTK's reports it only once accepted
        return wxID_OK;
    }
    void Exit(wxDialog*) override {}

private:
    wxString m_strPath;
};

// Resident and peak resident size of this process, bytes.
struct SMemory {
    long long nRss = 0;
    long long nPeak = 0;
};

SMemory ReadMemory() {
    SMemory memory;
    std::ifstream status("/proc/self/status");
    std::string strKey;
    long long nKib = 0;
    while (status >> strKey) {
        if (strKey == "VmRSS:" && status >> nKib)
            memory.nRss = nKib * 1024;
        else if (strKey == "VmHWM:" && status >> nKib)
            memory.nPeak = nKib * 1024;
    }
    return memory;
}

void Settle() {
    for (int i = 0; i < 5; ++i)
        wxTheApp->Yield(true);
}

void Press(wxWindow* pDlg, int nId) {
    wxWindow* pControl = pDlg->FindWindow(nId);
    wxCommandEvent event(wxEVT_BUTTON, nId);
    event.SetEventObject(pControl);
    pControl->GetEventHandler()->ProcessEvent(event);
    Settle();
}

long long CountEntries(const std::string& strDir) {
    long long n = 0;
    for (auto it = std::filesystem::recursive_directory_iterator(strDir);
         it != std::filesystem::recursive_directory_iterator(); ++it)
        ++n;
    return n;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fputs("usage: window_bench DIR [FORMAT]\n", stderr);
        return 2;
    }
    const std::string strDir = std::filesystem::absolute(argv[1]).string();
    const std::filesystem::path config =
        std::filesystem::temp_directory_path() / ("kwl-window-bench-" + std::to_string(getpid()));
    std::filesystem::create_directories(config / "kwl");
    if (argc >= 3)
        std::ofstream(config / "kwl" / "formats.def", std::ios::binary) << "1\n" << argv[2] << "\n";
    setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    const long long nEntries = CountEntries(strDir);

    int nArgc = 1;
    wxApp::SetInstance(new wxApp);
    if (!wxEntryStart(nArgc, argv)) {
        std::fputs("window_bench: needs a display (scripts/xvfb.sh)\n", stderr);
        return 1;
    }
    wxTheApp->CallOnInit();
    auto* pDlg = new CKWLDlg();
    pDlg->Show();
    Settle();
    std::printf("entries\t%lld\n", nEntries);
    const auto Report = [&](const char* pszStep, double dSeconds) {
        const SMemory memory = ReadMemory();
        std::printf("%s\t%.2f s\tRSS %.1f MiB\t%.1f B/entry\tpeak %.1f MiB\n", pszStep, dSeconds,
                    memory.nRss / 1048576.0, static_cast<double>(memory.nRss) / nEntries,
                    memory.nPeak / 1048576.0);
        std::fflush(stdout);
    };
    Report("shown", 0);
    const auto Timed = [&](int nId) {
        const auto tStart = std::chrono::steady_clock::now();
        Press(pDlg, nId);
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - tStart).count();
    };

    auto* pRecursive = dynamic_cast<wxCheckBox*>(pDlg->FindWindow(IDC_RECURSIVE));
    pRecursive->SetValue(true);
    wxCommandEvent toggle(wxEVT_CHECKBOX, IDC_RECURSIVE);
    toggle.SetEventObject(pRecursive);
    toggle.SetInt(1);
    pRecursive->GetEventHandler()->ProcessEvent(toggle);
    double dSeconds = 0;
    {
        CChooseDirectory choose(wxString::FromUTF8(strDir));
        dSeconds = Timed(IDC_SELECT_DIRECTORY);
    }
    Report("scan", dSeconds);
    Report("listing", Timed(IDC_COMPUTE_LIST));
    Report("clipboard", Timed(IDC_EXPORT_CLIPBOARD));

    pDlg->Destroy();
    Settle();
    wxTheClipboard->Clear();
    wxEntryCleanup();
    std::filesystem::remove_all(config);
    return 0;
}
