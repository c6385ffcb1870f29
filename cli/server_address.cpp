#include "server_address.h"

#include "net/protocol.h"

namespace velmora::cli {

bool ParseServer(const std::string& text, std::string& host, std::uint16_t& port) {
  const auto colon = text.rfind(':');
  host = text.substr(0, colon);
  if (colon == std::string::npos) {
    port = kDefaultPort;
  } else if (!WholeNumber<std::uint16_t>(text.substr(colon + 1), 1, 65535, port)) {
    return false;
  }
  return !host.empty();
}

}  // namespace velmora::cli
