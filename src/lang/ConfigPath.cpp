#include "lang/ConfigPath.h"

#include <filesystem>

#include "platform/ConfigFolder.h"

std::string PrepareFormatsPath() {
    const std::string strFolder = ConfigFolder();
    std::error_code ec;
    // The path's bytes are UTF-8 (a plain std::string would be read in Windows' code page).
    std::filesystem::create_directories(
        std::filesystem::path(std::u8string(strFolder.begin(), strFolder.end())), ec);
    return ConfigFilePath("formats.def");
}
