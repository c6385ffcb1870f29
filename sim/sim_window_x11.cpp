#include "sim_window_x11.h"

#include <array>
#include <cstdlib>
#include <string_view>
#include <utility>

#include <unistd.h>
#include <xcb/xcb.h>

#include "platform/linux/x11_connection.h"

namespace velmora::sim {
namespace {

struct FreeReply {
  void operator()(void* reply) const { std::free(reply); }
};
template <typename T>
using Reply = std::unique_ptr<T, FreeReply>;

bool IsAscii(std::string_view text) {
  for (const char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80) {
      return false;
    }
  }
  return true;
}

void SetText(xcb_connection_t* connection, xcb_window_t window, xcb_atom_t property, xcb_atom_t type,
             std::string_view text) {
  xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, property, type, 8,
                      static_cast<std::uint32_t>(text.size()), text.data());
}

// Waits until the server has handled everything sent so far; false when it reported an error for `last`.
bool Settle(xcb_connection_t* connection, xcb_void_cookie_t last) {
  xcb_generic_error_t* error = xcb_request_check(connection, last);
  std::free(error);
  return error == nullptr && xcb_connection_has_error(connection) == 0;
}

}  // namespace

std::unique_ptr<SimWindow> SimWindow::Create(const WindowIdentity& identity, std::string* error) {
  const char* display = std::getenv("DISPLAY");
  const std::string display_name = display != nullptr ? display : "";
  xcb_connection_t* connection = platform::ConnectToDisplay();
  if (connection == nullptr) {
    if (error != nullptr) {
      *error = display_name.empty() ? "no X display: DISPLAY is not set"
                                    : "cannot connect to the X display \"" + display_name + "\"";
    }
    return nullptr;
  }
  std::unique_ptr<SimWindow> window(new SimWindow(connection, identity));
  constexpr std::array<std::string_view, 5> names{"UTF8_STRING", "_NET_WM_NAME", "_NET_WM_PID",
                                                  "WM_PROTOCOLS", "WM_DELETE_WINDOW"};
  std::array<xcb_intern_atom_cookie_t, names.size()> cookies{};
  for (std::size_t i = 0; i < names.size(); ++i) {
    cookies[i] = xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(names[i].size()), names[i].data());
  }
  std::array<std::uint32_t*, names.size()> atoms{&window->utf8_string_, &window->net_wm_name_,
                                                 &window->net_wm_pid_, &window->wm_protocols_,
                                                 &window->wm_delete_window_};
  bool ok = true;
  for (std::size_t i = 0; i < names.size(); ++i) {
    xcb_generic_error_t* atom_error = nullptr;
    Reply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(connection, cookies[i], &atom_error));
    std::free(atom_error);
    ok = ok && reply != nullptr;
    *atoms[i] = reply ? reply->atom : XCB_NONE;
  }
  if (!ok || !window->Open()) {
    if (error != nullptr) {
      *error = "the X display \"" + display_name + "\" refused the window";
    }
    return nullptr;
  }
  return window;
}

SimWindow::SimWindow(xcb_connection_t* connection, WindowIdentity identity)
    : connection_(connection), identity_(std::move(identity)) {}

SimWindow::~SimWindow() {
  Close();
  xcb_disconnect(connection_);
}

bool SimWindow::Open() {
  std::lock_guard lock(mutex_);
  return OpenLocked();
}

bool SimWindow::OpenLocked() {
  if (window_ != 0) {
    return true;
  }
  if (xcb_connection_has_error(connection_) != 0) {
    return false;
  }
  const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data;
  const xcb_window_t window = xcb_generate_id(connection_);
  const std::uint32_t values[] = {screen->black_pixel};
  xcb_create_window(connection_, XCB_COPY_FROM_PARENT, window, screen->root, 0, 0, 640, 400, 0,
                    XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, XCB_CW_BACK_PIXEL, values);

  SetText(connection_, window, net_wm_name_, utf8_string_, identity_.title);
  // WM_NAME of type STRING is Latin-1; a title beyond ASCII goes out as UTF-8, as toolkits do.
  const xcb_atom_t legacy_type = IsAscii(identity_.title) ? xcb_atom_t{XCB_ATOM_STRING} : utf8_string_;
  SetText(connection_, window, XCB_ATOM_WM_NAME, legacy_type, identity_.title);
  std::string wm_class = identity_.instance_name;
  wm_class.push_back('\0');
  wm_class += identity_.class_name;
  wm_class.push_back('\0');
  SetText(connection_, window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, wm_class);

  // A process id means something only together with the machine it runs on.
  const std::uint32_t pid = identity_.pid != 0 ? identity_.pid : static_cast<std::uint32_t>(getpid());
  xcb_change_property(connection_, XCB_PROP_MODE_REPLACE, window, net_wm_pid_, XCB_ATOM_CARDINAL, 32, 1,
                      &pid);
  std::array<char, 256> host{};
  if (gethostname(host.data(), host.size() - 1) == 0) {
    SetText(connection_, window, XCB_ATOM_WM_CLIENT_MACHINE, XCB_ATOM_STRING, host.data());
  }
  xcb_change_property(connection_, XCB_PROP_MODE_REPLACE, window, wm_protocols_, XCB_ATOM_ATOM, 32, 1,
                      &wm_delete_window_);

  if (!Settle(connection_, xcb_map_window_checked(connection_, window))) {
    xcb_destroy_window(connection_, window);
    xcb_flush(connection_);
    return false;
  }
  window_ = window;
  return true;
}

void SimWindow::Close() {
  std::lock_guard lock(mutex_);
  CloseLocked();
}

void SimWindow::CloseLocked() {
  if (window_ == 0) {
    return;
  }
  Settle(connection_, xcb_destroy_window_checked(connection_, window_));
  window_ = 0;
}

bool SimWindow::IsOpen() const {
  std::lock_guard lock(mutex_);
  return window_ != 0;
}

std::uint32_t SimWindow::Handle() const {
  std::lock_guard lock(mutex_);
  return window_;
}

PumpResult SimWindow::Pump() {
  std::lock_guard lock(mutex_);
  PumpResult result = PumpResult::kNothing;
  while (Reply<xcb_generic_event_t> event{xcb_poll_for_event(connection_)}) {
    if ((event->response_type & 0x7F) != XCB_CLIENT_MESSAGE) {
      continue;  // errors of property changes and other notices need no answer
    }
    const auto* message = reinterpret_cast<const xcb_client_message_event_t*>(event.get());
    if (window_ != 0 && message->window == window_ && message->type == wm_protocols_ &&
        message->format == 32 && message->data.data32[0] == wm_delete_window_) {
      CloseLocked();
      result = PumpResult::kClosed;
    }
  }
  if (xcb_connection_has_error(connection_) != 0) {
    window_ = 0;
    return PumpResult::kDisconnected;
  }
  return result;
}

int SimWindow::FileDescriptor() const {
  return xcb_get_file_descriptor(connection_);
}

}  // namespace velmora::sim
