#include "platform/linux/window_owner_x11.h"

namespace velmora::platform {

std::uint32_t TrustedWindowPid(const WindowOwnerFacts& facts, std::string_view this_host) {
  if (facts.server_pid) {
    return *facts.server_pid;
  }
  // Xlib writes WM_CLIENT_MACHINE from the same host name this process sees, so a window of this machine
  // names it exactly; anything looser would let a similar name from elsewhere through.
  if (facts.net_wm_pid && facts.client_machine && !this_host.empty() && *facts.client_machine == this_host) {
    return *facts.net_wm_pid;
  }
  return 0;
}

}  // namespace velmora::platform
