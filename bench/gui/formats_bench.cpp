// How long the main window takes to show with a formats.def of N lines: constructing it (which
// reads the file and fills the format box) and letting GTK lay it out, against three lines.
// Run under a display: scripts/xvfb.sh build/bench/formats_bench
#include <wx/app.h>
#include <wx/init.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "ui/KWLDlg.h"

namespace {

void WriteFormats(const std::string& strPath, int nLines) {
    std::ofstream file(strPath, std::ios::binary | std::ios::trunc);
    file << "1\n";
    for (int i = 0; i < nLines; ++i)
        file << (i == 0 ? std::string("D-[D ]-name") : "name|F-size|[line " + std::to_string(i) + "]")
             << "\n";
}

double ShowMilliseconds() {
    const auto tStart = std::chrono::steady_clock::now();
    auto* pDlg = new CKWLDlg();
    pDlg->Show();
    for (int i = 0; i < 5; ++i)
        wxTheApp->Yield(true);
    pDlg->Update();
    const auto tEnd = std::chrono::steady_clock::now();
    pDlg->Destroy();
    wxTheApp->Yield(true);
    return std::chrono::duration<double, std::milli>(tEnd - tStart).count();
}

} // namespace

int main(int argc, char** argv) {
    const std::filesystem::path config =
        std::filesystem::temp_directory_path() / ("kwl-formats-bench-" + std::to_string(getpid()));
    std::filesystem::create_directories(config / "kwl");
    setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    wxApp::SetInstance(new wxApp);
    if (!wxEntryStart(argc, argv)) {
        std::fputs("formats_bench: needs a display (scripts/xvfb.sh)\n", stderr);
        return 1;
    }
    wxTheApp->CallOnInit();
    std::printf("lines\tmedian ms\tmax ms\n");
    for (int nLines : {3, 1000, 10000, 100000}) {
        WriteFormats((config / "kwl" / "formats.def").string(), nLines);
        std::vector<double> times;
        for (int nRun = 0; nRun < 5; ++nRun)
            times.push_back(ShowMilliseconds());
        std::sort(times.begin(), times.end());
        std::printf("%d\t%.1f\t%.1f\n", nLines, times[2], times.back());
        std::fflush(stdout);
    }
    wxEntryCleanup();
    std::filesystem::remove_all(config);
    return 0;
}
