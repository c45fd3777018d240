#include "support/KwlList.h"

#include <windows.h>

#include <algorithm>

#include "support/Files.h"
#include "support/TempTree.h"
#include "support/windows/Process.h"

bool CanSetUp(const SKwlListRun& run) {
    return !run.setup.bAsNobody && run.setup.nFileSizeLimit == 0 &&
           run.setup.nDescriptorLimit == 0 && run.faults.empty();
}

bool ArgumentArrivesExactly(const std::string& strArg) {
    return strArg.empty() ||
           MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, strArg.data(),
                               static_cast<int>(strArg.size()), nullptr, 0) != 0;
}

void PrepareKwlListForOtherUsers(bool /*bWithFaultShim*/) {}

SKwlListResult RunKwlList(const std::vector<std::string>& args, const SKwlListRun& run) {
    SKwlListResult result;
    if (!CanSetUp(run)) {
        result.strErr = "test support: this run needs Linux (another user, limits, faults)";
        return result;
    }
    CTempTree capture;
    const SProgramFiles files{capture.Path("stdout"), capture.Path("stderr"),
                              run.setup.strWorkDir};
    // The build puts kwl-list.exe at this place relative to the test programs.
    std::string strProgram = ThisProgramsFolder() + "/" + KWL_LIST_RELATIVE_PATH;
    std::replace(strProgram.begin(), strProgram.end(), '/', '\\');
    result.nStatus = RunProgram(strProgram, args, files);
    result.strOut = ReadFile(files.strOut);
    result.strErr = ReadFile(files.strErr);
    return result;
}
