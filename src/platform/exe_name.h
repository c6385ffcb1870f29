#pragma once

#include <string_view>

namespace velmora::platform {

// Whether a name ends in ".exe", in any case, after at least one character: a Windows executable's file
// name, or the window class a compatibility layer gives that executable's windows.
bool NamesWindowsExecutable(std::string_view name);

}  // namespace velmora::platform
