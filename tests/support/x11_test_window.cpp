#include "x11_test_window.h"

#include <cstdlib>
#include <stdexcept>

#include <xcb/xcb.h>

#include "platform/linux/x11_connection.h"

namespace velmora::test {

void X11DisplayTest::SetUp() {
  const char* display = std::getenv("DISPLAY");
  if (display != nullptr && *display != '\0') {
    return;
  }
  if (std::getenv("VELMORA_ALLOW_NO_DISPLAY") != nullptr) {
    GTEST_SKIP() << "no X display: DISPLAY is not set (skipped because VELMORA_ALLOW_NO_DISPLAY is set)";
  }
  FAIL() << "this test needs an X display but DISPLAY is not set; run it through scripts/test.sh, which "
            "starts Xvfb, or set VELMORA_ALLOW_NO_DISPLAY=1 to skip it";
}

X11TestWindow::X11TestWindow(const sim::WindowIdentity& identity) {
  std::string error;
  window_ = sim::SimWindow::Create(identity, &error);
  if (window_ == nullptr) {
    throw std::runtime_error("cannot show a test window: " + error);
  }
  handle_ = window_->Handle();
  outside_ = platform::ConnectToDisplay();
  if (outside_ == nullptr) {
    throw std::runtime_error("cannot open a second connection to the X display");
  }
}

X11TestWindow::~X11TestWindow() {
  window_.reset();
  if (frame_ != 0) {
    xcb_destroy_window(outside_, frame_);
  }
  xcb_disconnect(outside_);
}

void X11TestWindow::Destroy() {
  window_->Close();
}

void X11TestWindow::SetTextProperty(std::string_view name, std::string_view type, std::string_view bytes) {
  const auto cookie =
      xcb_change_property_checked(outside_, XCB_PROP_MODE_REPLACE, handle_, Atom(name), Atom(type), 8,
                                  static_cast<std::uint32_t>(bytes.size()), bytes.data());
  Settle(cookie.sequence);
}

void X11TestWindow::DeleteProperty(std::string_view name) {
  Settle(xcb_delete_property_checked(outside_, handle_, Atom(name)).sequence);
}

void X11TestWindow::Frame(int wrappers) {
  const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(outside_)).data;
  frame_ = xcb_generate_id(outside_);
  xcb_create_window(outside_, XCB_COPY_FROM_PARENT, frame_, screen->root, 0, 0, 660, 430, 0,
                    XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, 0, nullptr);
  xcb_window_t parent = frame_;
  for (int i = 0; i < wrappers; ++i) {
    const xcb_window_t wrapper = xcb_generate_id(outside_);
    xcb_create_window(outside_, XCB_COPY_FROM_PARENT, wrapper, parent, 2, 2, 650, 420, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, 0, nullptr);
    xcb_map_window(outside_, wrapper);
    parent = wrapper;
  }
  xcb_reparent_window(outside_, handle_, parent, 10, 20);
  // WM_STATE is 'normal' (1) and no icon window.
  const std::uint32_t state[] = {1, XCB_NONE};
  const xcb_atom_t wm_state = Atom("WM_STATE");
  xcb_change_property(outside_, XCB_PROP_MODE_REPLACE, handle_, wm_state, wm_state, 32, 2, state);
  Settle(xcb_map_window_checked(outside_, frame_).sequence);
}

std::uint32_t X11TestWindow::Atom(std::string_view name) {
  xcb_generic_error_t* error = nullptr;
  xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
      outside_, xcb_intern_atom(outside_, 0, static_cast<std::uint16_t>(name.size()), name.data()), &error);
  std::free(error);
  if (reply == nullptr) {
    throw std::runtime_error("cannot intern an atom");
  }
  const xcb_atom_t atom = reply->atom;
  std::free(reply);
  return atom;
}

void X11TestWindow::Settle(unsigned int sequence) {
  xcb_generic_error_t* error = xcb_request_check(outside_, xcb_void_cookie_t{sequence});
  const bool failed = error != nullptr;
  std::free(error);
  if (failed) {
    throw std::runtime_error("the X server refused a change to the test window");
  }
}

}  // namespace velmora::test
