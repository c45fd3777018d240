#include "platform/ConfigFolder.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

namespace {

std::string HomeFolder() {
    const char* pszHome = std::getenv("HOME");
    if (pszHome != nullptr && pszHome[0] == '/')
        return pszHome;
    if (const passwd* pw = getpwuid(getuid()); pw != nullptr && pw->pw_dir != nullptr)
        return pw->pw_dir;
    return "/";
}

} // namespace

std::string ConfigFolder() {
    const char* pszConfig = std::getenv("XDG_CONFIG_HOME");
    if (pszConfig != nullptr && pszConfig[0] == '/')
        return std::string(pszConfig) + "/kwl";
    return HomeFolder() + "/.config/kwl";
}

std::string ConfigFilePath(std::string_view strName) {
    return ConfigFolder() + "/" + std::string(strName);
}
