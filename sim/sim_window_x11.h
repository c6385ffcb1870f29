#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

struct xcb_connection_t;

namespace velmora::sim {

// How the stand-in's main window presents itself to a program that looks for it.
struct WindowIdentity {
  std::string title;
  std::string class_name;                     // the class part of WM_CLASS, which finders match
  std::string instance_name = "velmora-sim";  // the instance part of WM_CLASS
  std::uint32_t pid = 0;                      // shown as _NET_WM_PID; 0 stands for this process
};

enum class PumpResult {
  kNothing,       // events handled, if any; the window stays as it was
  kClosed,        // the window manager or the user asked to close the window, and it is gone now
  kDisconnected,  // the display has gone away
};

// A real top-level X11 window with a chosen title, class and process id. Safe to use from several
// threads; a window that is open is already visible to every other client of the display.
class SimWindow final {
 public:
  // Connects to $DISPLAY and shows the window. Null, with the reason in `error`, when that fails.
  static std::unique_ptr<SimWindow> Create(const WindowIdentity& identity, std::string* error = nullptr);
  ~SimWindow();
  SimWindow(const SimWindow&) = delete;
  SimWindow& operator=(const SimWindow&) = delete;

  // Shows the window again after Close, as a new window; true when it is shown.
  bool Open();
  // Destroys the window, as a program does when it quits; the connection stays for a later Open.
  void Close();
  bool IsOpen() const;
  // The X window id while open, else 0.
  std::uint32_t Handle() const;
  const WindowIdentity& Identity() const { return identity_; }

  // Handles every pending event without waiting for more.
  PumpResult Pump();
  // Becomes readable when events are waiting; for poll() beside other inputs.
  int FileDescriptor() const;

 private:
  SimWindow(xcb_connection_t* connection, WindowIdentity identity);
  bool OpenLocked();
  void CloseLocked();

  xcb_connection_t* const connection_;
  const WindowIdentity identity_;
  std::uint32_t utf8_string_ = 0;
  std::uint32_t net_wm_name_ = 0;
  std::uint32_t net_wm_pid_ = 0;
  std::uint32_t wm_protocols_ = 0;
  std::uint32_t wm_delete_window_ = 0;
  mutable std::mutex mutex_;
  std::uint32_t window_ = 0;
};

}  // namespace velmora::sim
