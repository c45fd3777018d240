#include "ui/KWLApp.h"

#include <wx/clipbrd.h>
#include <wx/log.h>

#include <cstdio>
#include <string_view>

#include "format/FormatsFile.h"
#include "lang/ConfigPath.h"
#include "lang/Language.h"
#include "lang/StartTexts.h"
#include "lang/Version.h"
#include "platform/Encoding.h"
#include "ui/KWLDlg.h"

wxIMPLEMENT_APP_NO_MAIN(CKWLApp);

namespace {

constexpr int kExitUsage = 2;

constexpr const char* kUsage =
    "Usage: kwl [--help] [--version]\n"
    "Opens the KWL window: choose a directory, a format line and whether subdirectories are\n"
    "listed, then compute the listing and export it to the clipboard, a text file or an HTML\n"
    "page. The formats are kept in $XDG_CONFIG_HOME/kwl/formats.def (~/.config/kwl/).\n"
    "kwl-list prints the same listings from a shell (kwl-list --help).\n"
    "\n"
    "  -h, --help     show this help and exit\n"
    "      --version  show the version and exit\n"
    "GTK's own options (--display, --gtk-module, ...) are passed on to it.\n";

// Options that GTK takes for itself; those with a value may have it in the next argument.
constexpr std::string_view kToolkitOptionsWithValue[] = {
    "--display", "--screen", "--class", "--name", "--gtk-module", "--gtk-debug",
    "--gtk-no-debug", "--gdk-debug", "--gdk-no-debug"};
constexpr std::string_view kToolkitFlags[] = {"--g-fatal-warnings", "--sync"};

// How many arguments from argv[i] on are GTK's: 0 when argv[i] is not one of its options.
int ToolkitArguments(int argc, char** argv, int i) {
    const std::string_view strArg = argv[i];
    for (const std::string_view strFlag : kToolkitFlags)
        if (strArg == strFlag)
            return 1;
    for (const std::string_view strOption : kToolkitOptionsWithValue) {
        if (strArg.starts_with(strOption) && strArg.size() > strOption.size() &&
            strArg[strOption.size()] == '=')
            return 1;
        if (strArg == strOption)
            return i + 1 < argc ? 2 : 1;
    }
    return 0;
}

} // namespace

// --help and --version answer without a display; anything else of ours is a usage error.
int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (const int nToolkit = ToolkitArguments(argc, argv, i)) {
            i += nToolkit - 1;
            continue;
        }
        const std::string_view strArg = argv[i];
        if (strArg == "--help" || strArg == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (strArg == "--version") {
            std::printf("kwl %s\n", KWL_VERSION);
            return 0;
        }
        // The option as given, control characters as "?": none may reach the terminal.
        std::fprintf(stderr, "kwl: unknown option '%s'\nTry 'kwl --help' for more information.\n",
                     SanitizeName(strArg).c_str());
        return kExitUsage;
    }
    // wxEntry gives -1 only when the toolkit could not start: OnInit always succeeds.
    const int nStatus = wxEntry(argc, argv);
    return nStatus == -1 ? kExitNoDisplay : nStatus;
}

bool CKWLApp::Initialize(int& argc, wxChar** argv) {
    {
        const wxLogNull noToolkitMessage;
        if (wxApp::Initialize(argc, argv))
            return true;
    }
    // The language the window would have started in; nothing is created or written.
    CLanguage language;
    language.SetLanguage(LanguageFromId(ReadLanguageId(FormatsFilePath())));
    std::fputs(NoDisplayMessage(language.ShownLanguage()).c_str(), stderr);
    return false;
}

bool CKWLApp::OnInit() {
    SetAppName("kwl");
    return true;
}

int CKWLApp::OnRun() {
    {
        CKWLDlg dlg;
        dlg.ShowModal();
    }
    // Hands a copied listing to the clipboard manager, so it can be pasted after we are gone.
    if (wxTheClipboard->Open()) {
        wxTheClipboard->Flush();
        wxTheClipboard->Close();
    }
    return 0;
}
