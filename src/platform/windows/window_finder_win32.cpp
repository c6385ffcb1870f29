// Top-level windows of the Windows desktop.
#include "platform/window_finder.h"
#include "platform/windows/win32_text.h"

// Last: it makes FindWindow a macro for FindWindowW, which is also the name of the finder's method.
#include <windows.h>
#undef FindWindow

namespace velmora::platform {
namespace {

// Window handles carry 32 significant bits on 64-bit Windows too, sign-extended when widened, so they
// round-trip through the 32-bit handle the finder hands out.
HWND ToHwnd(WindowHandle window) {
  return reinterpret_cast<HWND>(static_cast<std::intptr_t>(static_cast<std::int32_t>(window)));
}

WindowHandle FromHwnd(HWND window) {
  return static_cast<WindowHandle>(reinterpret_cast<std::uintptr_t>(window));
}

class Win32WindowFinder final : public WindowFinder {
 public:
  WindowHandle FindWindow(const std::string& class_name, const std::string& title) override {
    // An empty name would match any window's; no simulator has one.
    if (class_name.empty() || title.empty()) {
      return 0;
    }
    return FromHwnd(FindWindowW(Widen(class_name).c_str(), Widen(title).c_str()));
  }

  bool IsWindow(WindowHandle window) override { return window != 0 && ::IsWindow(ToHwnd(window)) != FALSE; }

  std::uint32_t WindowProcessId(WindowHandle window) override {
    DWORD pid = 0;
    if (window == 0 || GetWindowThreadProcessId(ToHwnd(window), &pid) == 0) {
      return 0;
    }
    return pid;
  }
};

}  // namespace

std::unique_ptr<WindowFinder> CreateWindowFinder() {
  return std::make_unique<Win32WindowFinder>();
}

}  // namespace velmora::platform
