// How long the main window takes to show with a formats.def of N lines: constructing it (which
// reads the file and fills the format box) and letting GTK lay it out, against three lines;
// then how long its format list takes to drop down and be drawn.
// Run under a display: scripts/xvfb.sh build/bench/formats_bench
#include <gtk/gtk.h>
#include <wx/app.h>
#include <wx/combobox.h>
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

double MillisecondsSince(std::chrono::steady_clock::time_point tStart) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - tStart)
        .count();
}

void LetTheToolkitDraw() {
    for (int i = 0; i < 5; ++i)
        wxTheApp->Yield(true);
}

struct STimes {
    double fShow = 0;
    double fDropDown = 0;
};

STimes ShowAndDropDown() {
    STimes times;
    auto tStart = std::chrono::steady_clock::now();
    auto* pDlg = new CKWLDlg();
    pDlg->Show();
    LetTheToolkitDraw();
    pDlg->Update();
    times.fShow = MillisecondsSince(tStart);
    auto* pBox = GTK_COMBO_BOX(pDlg->FindWindow(IDC_FORMATS)->GetHandle());
    tStart = std::chrono::steady_clock::now();
    gtk_combo_box_popup(pBox);
    LetTheToolkitDraw();
    times.fDropDown = MillisecondsSince(tStart);
    gtk_combo_box_popdown(pBox);
    pDlg->Destroy();
    wxTheApp->Yield(true);
    return times;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
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
    std::printf("lines\tshow median ms\tshow max ms\tdrop-down median ms\tdrop-down max ms\n");
    for (int nLines : {3, 1000, 10000, 100000}) {
        WriteFormats((config / "kwl" / "formats.def").string(), nLines);
        std::vector<double> show;
        std::vector<double> dropDown;
        for (int nRun = 0; nRun < 5; ++nRun) {
            const STimes times = ShowAndDropDown();
            show.push_back(times.fShow);
            dropDown.push_back(times.fDropDown);
        }
        std::printf("%d\t%.1f\t%.1f\t%.1f\t%.1f\n", nLines, Median(show),
                    *std::max_element(show.begin(), show.end()), Median(dropDown),
                    *std::max_element(dropDown.begin(), dropDown.end()));
        std::fflush(stdout);
    }
    wxEntryCleanup();
    std::filesystem::remove_all(config);
    return 0;
}
