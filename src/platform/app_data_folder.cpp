#include "platform/app_data_folder.h"

namespace velmora::platform {

std::filesystem::path SettingsFolder() {
  const std::filesystem::path roaming = RoamingAppDataFolder();
  return roaming.empty() ? roaming : roaming / "Velmora";
}

std::filesystem::path UpdateFolder() {
  const std::filesystem::path settings = SettingsFolder();
  return settings.empty() ? settings : settings / "Update";
}

}  // namespace velmora::platform
