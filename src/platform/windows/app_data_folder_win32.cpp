#include <windows.h>
// After windows.h, which it needs.
#include <shlobj.h>

#include "platform/app_data_folder.h"

namespace velmora::platform {

std::filesystem::path RoamingAppDataFolder() {
  PIDLIST_ABSOLUTE list = nullptr;
  if (FAILED(SHGetSpecialFolderLocation(nullptr, CSIDL_APPDATA, &list)) || list == nullptr) {
    return {};
  }
  wchar_t path[MAX_PATH] = {};
  const BOOL found = SHGetPathFromIDListW(list, path);
  CoTaskMemFree(list);
  return found != FALSE ? std::filesystem::path(path) : std::filesystem::path();
}

std::filesystem::path UserDataFolder() {
  // Windows keeps a user's program data beside the settings.
  return RoamingAppDataFolder();
}

}  // namespace velmora::platform
