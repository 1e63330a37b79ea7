#include "core/Settings.h"

#include "gpsdialogs/interfaces/Kit.h"

#include <cstdlib>
#include <filesystem>

namespace gpsbook {

std::string settingsFilePath(const char* xdgConfigHome, const char* home) {
    namespace fs = std::filesystem;
    fs::path base;
    // The XDG rules ignore a relative $XDG_CONFIG_HOME.
    if (xdgConfigHome != nullptr && *xdgConfigHome != '\0' && fs::path(xdgConfigHome).is_absolute())
        base = xdgConfigHome;
    else if (home != nullptr && *home != '\0')
        base = fs::path(home) / ".config";
    if (base.empty()) return "gpsbook.ini";
    return (base / "gpsbook" / "gpsbook.ini").string();
}

std::string settingsFilePath() {
    return settingsFilePath(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"));
}

bool useSettingsFile(const std::string& path) {
    CIniFile::SetFilePath(path);
    std::filesystem::path folder = std::filesystem::path(path).parent_path();
    if (folder.empty()) return true;
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    return std::filesystem::is_directory(folder, ec);
}

} // namespace gpsbook
