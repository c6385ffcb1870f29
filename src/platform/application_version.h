#pragma once

#include <string>

namespace velmora::platform {

// The program's own four-part version, "major.minor.release.build".
std::string ApplicationVersion();

}  // namespace velmora::platform
