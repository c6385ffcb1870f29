#include "platform/linux/x11_connection.h"

#include <chrono>
#include <thread>

#include <xcb/xcb.h>

namespace velmora::platform {

xcb_connection_t* ConnectToDisplay() {
  constexpr int kAttempts = 40;
  constexpr auto kPause = std::chrono::milliseconds(25);
  for (int attempt = 1;; ++attempt) {
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    const int error = xcb_connection_has_error(connection);
    if (error == 0) {
      return connection;
    }
    xcb_disconnect(connection);
    // Only a connection that broke may succeed on another try; a bad display name never will.
    if (error != XCB_CONN_ERROR || attempt == kAttempts) {
      return nullptr;
    }
    std::this_thread::sleep_for(kPause);
  }
}

}  // namespace velmora::platform
