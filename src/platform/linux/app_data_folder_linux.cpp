#include <cstdlib>

#include "platform/app_data_folder.h"

namespace velmora::platform {

std::filesystem::path RoamingAppDataFolder() {
  // Only an absolute XDG path counts; a relative one is to be ignored.
  if (const char* config = std::getenv("XDG_CONFIG_HOME"); config != nullptr && config[0] == '/') {
    return config;
  }
  if (const char* home = std::getenv("HOME"); home != nullptr && home[0] == '/') {
    return std::filesystem::path(home) / ".config";
  }
  return {};
}

std::filesystem::path UserDataFolder() {
  if (const char* data = std::getenv("XDG_DATA_HOME"); data != nullptr && data[0] == '/') {
    return data;
  }
  if (const char* home = std::getenv("HOME"); home != nullptr && home[0] == '/') {
    return std::filesystem::path(home) / ".local" / "share";
  }
  return {};
}

}  // namespace velmora::platform
