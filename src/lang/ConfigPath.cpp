#include "lang/ConfigPath.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

namespace {

std::string HomeFolder() {
    const char* pszHome = std::getenv("HOME");
    if (pszHome != nullptr && pszHome[0] == '/')
        return pszHome;
    if (const passwd* pw = getpwuid(getuid()); pw != nullptr && pw->pw_dir != nullptr)
        return pw->pw_dir;
    return "/";
}

std::string ConfigFolder() {
    const char* pszConfig = std::getenv("XDG_CONFIG_HOME");
    if (pszConfig != nullptr && pszConfig[0] == '/')
        return std::string(pszConfig) + "/kwl";
    return HomeFolder() + "/.config/kwl";
}

} // namespace

std::string PrepareFormatsPath() {
    std::error_code ec;
    std::filesystem::create_directories(ConfigFolder(), ec);
    return FormatsFilePath();
}

std::string FormatsFilePath() {
    return ConfigFolder() + "/formats.def";
}
