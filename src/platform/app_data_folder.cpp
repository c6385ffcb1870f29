#include "platform/app_data_folder.h"

namespace velmora::platform {

std::filesystem::path SettingsFolder() {
  const std::filesystem::path roaming = RoamingAppDataFolder();
  return roaming.empty() ? roaming : roaming / "Velmora";
}

std::filesystem::path DataFolder() {
  const std::filesystem::path data = UserDataFolder();
  return data.empty() ? data : data / "Velmora";
}

std::filesystem::path UpdateFolder() {
  const std::filesystem::path settings = SettingsFolder();
  return settings.empty() ? settings : settings / "Update";
}

}  // namespace velmora::platform
