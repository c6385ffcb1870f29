#pragma once

#include <string_view>

namespace velmora::platform {

// Whether a name ends in ".exe", in any case, after at least one character: a Windows executable's file
// name, or the window class a compatibility layer gives that executable's windows.
bool NamesWindowsExecutable(std::string_view name);

// Whether a window class is the one a game launcher's compatibility layer gives every window of a game,
// "steam_app_" and the game's number: the class its desktop entries match windows by.
bool NamesCompatibilityLayerApp(std::string_view class_name);

}  // namespace velmora::platform
