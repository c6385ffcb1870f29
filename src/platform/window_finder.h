#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace velmora::platform {

// A top-level window handle; 0 means none.
using WindowHandle = std::uint32_t;

// Finds top-level windows by exact class name and title, as the simulators are recognised.
// Implementations must be callable from any thread.
class WindowFinder {
 public:
  virtual ~WindowFinder() = default;

  // A top-level window whose class and title equal these exactly, or 0.
  virtual WindowHandle FindWindow(const std::string& class_name, const std::string& title) = 0;

  virtual bool IsWindow(WindowHandle window) = 0;

  // The process that owns the window, or 0 when it cannot be told.
  virtual std::uint32_t WindowProcessId(WindowHandle window) = 0;
};

// The desktop's window finder (X11 on Linux); null when no display can be reached.
std::unique_ptr<WindowFinder> CreateWindowFinder();

}  // namespace velmora::platform
