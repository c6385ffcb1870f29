#pragma once

#include <string>

namespace velmora::platform {

// The full path of this process's executable file; empty when Windows cannot tell it.
std::wstring OwnExecutablePath();

}  // namespace velmora::platform
