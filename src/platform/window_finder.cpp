#include "platform/window_finder.h"

namespace velmora::platform {

FoundWindow WindowFinder::FindFirstWindow(std::span<const char* const> titles,
                                          std::span<const char* const> classes) {
  for (const char* title : titles) {
    for (const char* class_name : classes) {
      if (const WindowHandle handle = FindWindow(class_name, title); handle != 0) {
        return {handle, title, class_name, WindowRuntime::kNative};
      }
    }
  }
  return {};
}

bool WindowFinder::WindowMatches(WindowHandle window, const std::string& class_name,
                                 const std::string& title) {
  return window != 0 && FindWindow(class_name, title) == window;
}

const char* RuntimeName(WindowRuntime runtime) {
  return runtime == WindowRuntime::kWine ? "wine" : "native";
}

}  // namespace velmora::platform
