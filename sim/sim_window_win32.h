#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace velmora::sim {

// How the stand-in's main window presents itself to a program that looks for it.
struct WindowIdentity {
  std::string title;
  std::string class_name;  // the window class, which finders match
};

enum class PumpResult {
  kNothing,  // messages handled, if any; the window stays as it was
  kClosed,   // the user asked to close the window, and it is gone now
};

// A real top-level Win32 window with a chosen class and title. Used from the thread that created it,
// which must pump its messages.
class SimWindow final {
 public:
  // Registers the class and shows the window. Null, with the reason in `error`, when that fails.
  static std::unique_ptr<SimWindow> Create(const WindowIdentity& identity, std::string* error = nullptr);
  ~SimWindow();
  SimWindow(const SimWindow&) = delete;
  SimWindow& operator=(const SimWindow&) = delete;

  // Shows the window again after Close, as a new window; true when it is shown.
  bool Open();
  // Destroys the window, as a program does when it quits; the class stays for a later Open.
  void Close();
  bool IsOpen() const { return window_ != nullptr; }
  const WindowIdentity& Identity() const { return identity_; }

  // Handles every pending message of this thread without waiting for more.
  PumpResult Pump();

 private:
  explicit SimWindow(WindowIdentity identity);

  const WindowIdentity identity_;
  void* window_ = nullptr;  // HWND
  bool class_registered_ = false;
};

}  // namespace velmora::sim
