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

}  // namespace velmora::platform
