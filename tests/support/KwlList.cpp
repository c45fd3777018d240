#include "support/KwlList.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <string_view>

#include "support/Files.h"
#include "support/TempTree.h"

namespace {

// Built files copied into a fresh folder that every user may enter: the build folder can sit
// below a home directory that only its owner may enter, where nobody could not reach them.
const std::string& CopyForOtherUsers(const std::string& strBuilt) {
    static CTempTree s_folder;
    static std::map<std::string, std::string> s_copies;
    auto [it, bNew] = s_copies.try_emplace(strBuilt);
    if (bNew) {
        it->second = s_folder.Path(std::filesystem::path(strBuilt).filename().string());
        std::filesystem::copy_file(strBuilt, it->second);
        chmod(it->second.c_str(), 0755);
    }
    return it->second;
}

bool IsOtherUser(const SKwlListRun& run) {
    return run.setup.bAsNobody || geteuid() != 0;
}

// The environment of a run with the fault shim: the shim preloaded, and a sanitizer build
// told that its runtime does not come first.
std::vector<std::string> FaultEnvironment(const SKwlListRun& run) {
    std::vector<std::string> env;
    if (run.faults.empty())
        return env;
    const std::string strShim =
        IsOtherUser(run) ? CopyForOtherUsers(KWL_FAULT_SHIM_PATH) : KWL_FAULT_SHIM_PATH;
    env.push_back("LD_PRELOAD=" + strShim);
    const char* pszAsan = std::getenv("ASAN_OPTIONS");
    env.push_back(std::string("ASAN_OPTIONS=") + (pszAsan != nullptr ? pszAsan : "") +
                  ":verify_asan_link_order=0");
    env.insert(env.end(), run.faults.begin(), run.faults.end());
    return env;
}

// True when one of the variables set for the run has the name of strVariable ("NAME=value").
bool IsReplaced(std::string_view strVariable, const std::vector<std::string>& set) {
    const std::string_view strName = strVariable.substr(0, strVariable.find('=') + 1);
    for (const std::string& s : set)
        if (std::string_view(s).starts_with(strName))
            return true;
    return false;
}

} // namespace

bool CanSetUp(const SKwlListRun& run) {
    return !run.setup.bAsNobody || geteuid() == 0; // only root can become nobody
}

bool ArgumentArrivesExactly(const std::string& /*strArg*/) {
    return true; // arguments are bytes here
}

void PrepareKwlListForOtherUsers(bool bWithFaultShim) {
    CopyForOtherUsers(KWL_LIST_PATH);
    if (bWithFaultShim)
        CopyForOtherUsers(KWL_FAULT_SHIM_PATH);
}

SKwlListResult RunKwlList(const std::vector<std::string>& args, const SKwlListRun& run) {
    CTempTree capture;
    const std::string strOutPath = capture.Path("stdout");
    const std::string strErrPath = capture.Path("stderr");
    if (run.setup.bAsNobody)
        chmod(capture.Root().c_str(), 0777); // the child writes its output there
    const std::string strProgram = IsOtherUser(run) ? CopyForOtherUsers(KWL_LIST_PATH)
                                                    : std::string(KWL_LIST_PATH);
    // Everything the child needs is made here: after a fork it only opens, duplicates and
    // starts the program.
    std::vector<char*> argv{const_cast<char*>(strProgram.c_str())};
    for (const std::string& s : args)
        argv.push_back(const_cast<char*>(s.c_str()));
    argv.push_back(nullptr);
    std::vector<std::string> envStrings = FaultEnvironment(run);
    std::vector<char*> envp;
    for (char** p = environ; *p != nullptr; ++p)
        if (!IsReplaced(*p, envStrings))
            envp.push_back(*p);
    for (std::string& s : envStrings)
        envp.push_back(s.data());
    envp.push_back(nullptr);

    SKwlListResult result;
    result.nStatus = RunInChild(
        [&] {
            const int fdOut = open(strOutPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            const int fdErr = open(strErrPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            const int fdIn = open("/dev/null", O_RDONLY);
            if (fdOut < 0 || fdErr < 0 || fdIn < 0 || dup2(fdOut, 1) < 0 || dup2(fdErr, 2) < 0 ||
                dup2(fdIn, 0) < 0)
                return 120;
            execve(strProgram.c_str(), argv.data(), envp.data());
            return 122;
        },
        run.setup);
    result.strOut = ReadFile(strOutPath);
    result.strErr = ReadFile(strErrPath);
    return result;
}
