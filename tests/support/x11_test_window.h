#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include <gtest/gtest.h>

#include "sim_window_x11.h"

struct xcb_connection_t;

namespace velmora::test {

// Base of tests that need an X display. Without one they fail and say so, unless
// VELMORA_ALLOW_NO_DISPLAY is set, in which case they are skipped.
class X11DisplayTest : public ::testing::Test {
 protected:
  void SetUp() override;
};

// A real top-level window on the test display with a chosen title, WM_CLASS and _NET_WM_PID. Every
// change is complete on the server when a call returns, so any other client sees it at once.
class X11TestWindow {
 public:
  explicit X11TestWindow(const sim::WindowIdentity& identity);
  ~X11TestWindow();
  X11TestWindow(const X11TestWindow&) = delete;
  X11TestWindow& operator=(const X11TestWindow&) = delete;

  // The window's id; the last one it had after Destroy.
  std::uint32_t Handle() const { return handle_; }
  void Destroy();

  // Changes made from outside the window's own client, as a toolkit or a window manager might.
  void SetTextProperty(std::string_view name, std::string_view type, std::string_view bytes);
  void DeleteProperty(std::string_view name);
  // Puts the window into a new, empty frame window and marks it managed (WM_STATE), as a reparenting
  // window manager does; with `wrappers`, into that many windows nested in the frame, as some managers
  // put a wrapper between frame and application window.
  void Frame(int wrappers = 0);

 private:
  std::uint32_t Atom(std::string_view name);
  void Settle(unsigned int sequence);

  std::unique_ptr<sim::SimWindow> window_;
  std::uint32_t handle_ = 0;
  xcb_connection_t* outside_ = nullptr;
  std::uint32_t frame_ = 0;
};

}  // namespace velmora::test
