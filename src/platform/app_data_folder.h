#pragma once

#include <filesystem>

namespace velmora::platform {

// The user's roaming application-data folder: %APPDATA% on Windows, $XDG_CONFIG_HOME (by default
// ~/.config) elsewhere. Empty when it cannot be told.
std::filesystem::path RoamingAppDataFolder();

// "Velmora" in it, where the settings file lives, and "Velmora\Update" for the update check's files.
std::filesystem::path SettingsFolder();
std::filesystem::path UpdateFolder();

}  // namespace velmora::platform
