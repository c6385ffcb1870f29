#pragma once

struct xcb_connection_t;

namespace velmora::platform {

// Connects to $DISPLAY; null when it cannot be reached.
//
// An X server that resets when its last client leaves (Xvfb does unless told not to) drops the
// connections that arrive during the reset, before it answers their set-up. The client cannot tell that
// from a server that is not there, so it tries again for a while before it gives up.
xcb_connection_t* ConnectToDisplay();

}  // namespace velmora::platform
