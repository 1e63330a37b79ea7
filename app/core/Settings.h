// Where gpsbook keeps its settings file (the host's settings file, shared with the dialogs).
#pragma once

#include <string>

namespace gpsbook {

/// The settings file's path: $XDG_CONFIG_HOME/gpsbook/gpsbook.ini when that variable holds an
/// absolute path, else $HOME/.config/gpsbook/gpsbook.ini; "gpsbook.ini" in the current folder
/// when neither is usable. Null arguments count as unset.
std::string settingsFilePath(const char* xdgConfigHome, const char* home);

/// settingsFilePath for this process's environment.
std::string settingsFilePath();

/// Makes the settings file at \p path the host's settings file (CIniFile::SetFilePath) and
/// creates its folder. \return false when the folder cannot be made (settings then fall back
/// to their defaults and are not kept)
bool useSettingsFile(const std::string& path);

} // namespace gpsbook
