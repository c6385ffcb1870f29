#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "net/asio.h"

namespace velmora::web {

// The name in a Host header ("Pit.Example:8080" gives "pit.example", "[::1]:80" gives "::1"), in lower
// case and without a final dot; empty when the header is not a host name or address with an optional port.
std::string HostName(std::string_view host);

// Whether a request naming `host` in its Host header is meant for this relay: a loopback name or address,
// the address the connection reached (`local`), the address listened on (`bound`), or one of `allowed`.
// Anything else is another site's name pointed at this machine.
bool IsOwnHost(std::string_view host, const asio::ip::address& local, const asio::ip::address& bound,
               const std::vector<std::string>& allowed);

// Whether a browser's Origin header names the page that a request to `host` came from: the relay's own
// page, served over http or, behind a proxy, https.
bool IsOwnOrigin(std::string_view origin, std::string_view host);

}  // namespace velmora::web
