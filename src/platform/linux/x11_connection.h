#pragma once

struct xcb_connection_t;

namespace velmora::platform {

// Connects to $DISPLAY; null when it cannot be reached.
//
// The X server now and then drops a connection it has just accepted, before it answers the set-up
// (seen with Xvfb on virtual machines: about one connection in ten under load). The client cannot tell
// that from a server that is not there, so it tries again for a while before it gives up.
xcb_connection_t* ConnectToDisplay();

}  // namespace velmora::platform
