#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace velmora::platform {

// What is known about the process behind a window.
struct WindowOwnerFacts {
  // The process of the window's client as the X server knows it from the connection; nullopt when the
  // server cannot say (no X-Resource extension, or a client that is not local).
  std::optional<std::uint32_t> server_pid;
  // What the window claims: its _NET_WM_PID and WM_CLIENT_MACHINE. Any client may write either.
  std::optional<std::uint32_t> net_wm_pid;
  std::optional<std::string_view> client_machine;
};

// The process that owns the window, or 0 when no trustworthy answer exists. The server's word wins; the
// window's own claim counts only when it also names this host, since a pid from another machine means
// nothing here.
std::uint32_t TrustedWindowPid(const WindowOwnerFacts& facts, std::string_view this_host);

}  // namespace velmora::platform
