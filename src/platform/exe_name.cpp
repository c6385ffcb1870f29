#include "platform/exe_name.h"

#include <algorithm>
#include <cctype>

namespace velmora::platform {

bool NamesWindowsExecutable(std::string_view name) {
  constexpr std::string_view kExe = ".exe";
  return name.size() > kExe.size() &&
         std::equal(kExe.begin(), kExe.end(), name.end() - kExe.size(), [](char wanted, char actual) {
           return wanted == std::tolower(static_cast<unsigned char>(actual));
         });
}

bool NamesCompatibilityLayerApp(std::string_view class_name) {
  constexpr std::string_view kPrefix = "steam_app_";
  if (class_name.size() <= kPrefix.size() || !class_name.starts_with(kPrefix)) {
    return false;
  }
  const auto number = class_name.substr(kPrefix.size());
  return std::all_of(number.begin(), number.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace velmora::platform
