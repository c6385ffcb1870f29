#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>

namespace velmora::platform {

// A top-level window handle; 0 means none.
using WindowHandle = std::uint32_t;

// What runs the program that shows a window.
enum class WindowRuntime {
  kNative,  // the program itself, with the window class it registered
  // a Windows program through a compatibility layer, which names the class after the executable, or, run
  // by a game launcher's layer, "steam_app_" and the game's number
  kWine,
};

// The window a search for any of several titles and classes found.
struct FoundWindow {
  WindowHandle handle = 0;  // 0: nothing found
  std::string title;        // the entry of the titles that matched
  std::string class_name;   // the class the window carries, which a later FindWindow finds it by again
  WindowRuntime runtime = WindowRuntime::kNative;
};

// Finds top-level windows by exact class name and title, as the simulators are recognised.
// Implementations must be callable from any thread.
class WindowFinder {
 public:
  virtual ~WindowFinder() = default;

  // A top-level window whose class and title equal these exactly, or 0.
  virtual WindowHandle FindWindow(const std::string& class_name, const std::string& title) = 0;

  // The first window in the order of `titles` and, within a title, of `classes`. Where Windows programs
  // run through a compatibility layer show the executable's name as their class ("race07.exe", in any
  // case) or the launcher's name of the game ("steam_app_8600"), such a window with a listed title also
  // counts, after the listed classes of that title, as kWine. Whether its process really runs a Windows
  // executable is for the caller to check. This default asks FindWindow for each pair in turn; a backend
  // may answer in one pass.
  virtual FoundWindow FindFirstWindow(std::span<const char* const> titles,
                                      std::span<const char* const> classes);

  // Whether `window` still has this class and title, which is what a check that a window found earlier is
  // still there asks every cycle. This default asks FindWindow, which answers for the first such window
  // only; a backend may look at the one window, which is cheaper than a search.
  virtual bool WindowMatches(WindowHandle window, const std::string& class_name, const std::string& title);

  virtual bool IsWindow(WindowHandle window) = 0;

  // The process that owns the window, or 0 when it cannot be told.
  virtual std::uint32_t WindowProcessId(WindowHandle window) = 0;
};

// The desktop's window finder (X11 on Linux); null when no display can be reached.
std::unique_ptr<WindowFinder> CreateWindowFinder();

// "wine" or "native", as the command line and the status tell it.
const char* RuntimeName(WindowRuntime runtime);

}  // namespace velmora::platform
