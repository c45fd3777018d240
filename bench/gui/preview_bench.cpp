// How long the preview box takes to show a listing of N characters: the time to hand the text
// to the box and until GTK has laid it out (idle work done), for choosing the preview limit.
// Run under a display: scripts/xvfb.sh build/bench/preview_bench
#include <wx/app.h>
#include <wx/dialog.h>
#include <wx/init.h>
#include <wx/textctrl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

// Lines like a listing's: indentation, a name, a size and a time, with tabs between columns.
std::string ListingText(std::size_t nChars) {
    std::string str;
    for (int i = 0; str.size() < nChars; ++i) {
        str += "\r\n" + std::string(2 * (i % 4), ' ') + "IMG_" + std::to_string(20000 + i) +
               ".JPG\t(1234567 bytes)\t[07.03.2014, 12:34:56]";
    }
    str.resize(nChars);
    return str;
}

double ShowMilliseconds(wxTextCtrl* pBox, const wxString& strText) {
    const auto tStart = std::chrono::steady_clock::now();
    pBox->ChangeValue(strText);
    for (int i = 0; i < 5; ++i)
        wxTheApp->Yield(true); // lets GTK finish the layout it does on idle
    pBox->Update();
    const auto tEnd = std::chrono::steady_clock::now();
    return std::chrono::duration<double, std::milli>(tEnd - tStart).count();
}

} // namespace

int main(int argc, char** argv) {
    wxApp::SetInstance(new wxApp);
    if (!wxEntryStart(argc, argv)) {
        std::fputs("preview_bench: needs a display (scripts/xvfb.sh)\n", stderr);
        return 1;
    }
    wxTheApp->CallOnInit();
    auto* pDlg = new wxDialog(nullptr, wxID_ANY, "preview", wxDefaultPosition, wxSize(640, 600));
    auto* pBox = new wxTextCtrl(pDlg, wxID_ANY, "", wxPoint(10, 10), wxSize(560, 300),
                                wxTE_MULTILINE | wxTE_READONLY | wxTE_DONTWRAP | wxHSCROLL |
                                    wxVSCROLL);
    pDlg->Show();
    std::printf("characters\tmedian ms\tmax ms\n");
    for (std::size_t nChars : {30000, 50000, 100000, 200000, 500000, 1000000, 2000000}) {
        const wxString strText = wxString::FromUTF8(ListingText(nChars));
        std::vector<double> times;
        for (int nRun = 0; nRun < 5; ++nRun) {
            ShowMilliseconds(pBox, wxString());
            times.push_back(ShowMilliseconds(pBox, strText));
        }
        std::sort(times.begin(), times.end());
        std::printf("%zu\t%.1f\t%.1f\n", nChars, times[2], times.back());
        std::fflush(stdout);
    }
    pDlg->Destroy();
    wxEntryCleanup();
    return 0;
}
