#pragma once

#include <filesystem>

namespace velmora::platform {

// The user's roaming application-data folder: %APPDATA% on Windows, $XDG_CONFIG_HOME (by default
// ~/.config) elsewhere. Empty when it cannot be told.
std::filesystem::path RoamingAppDataFolder();

// Where the user's programs keep their data: %APPDATA% on Windows (the roaming folder), $XDG_DATA_HOME
// (by default ~/.local/share) elsewhere. Empty when it cannot be told.
std::filesystem::path UserDataFolder();

// "Velmora" in it, where the recorded sessions live.
std::filesystem::path DataFolder();

// "Velmora" in the roaming folder, where the settings file lives, and "Velmora\Update" for the update check's
// files.
std::filesystem::path SettingsFolder();
std::filesystem::path UpdateFolder();

}  // namespace velmora::platform
