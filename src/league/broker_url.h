#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace velmora::league {

// Where a broker is and how to log in: mqtt://[USER[:PASSWORD]@]HOST[:PORT] or mqtts://...
struct BrokerUrl {
  bool tls = false;
  std::string user;      // empty: no login
  std::string password;  // empty with has_password false: none given in the URL
  bool has_password = false;
  std::string host;  // a name, an IPv4 address, or an IPv6 address without its brackets
  std::uint16_t port = 1883;

  // The URL as logs may show it: the password left out.
  std::string Shown() const;
};

// nullopt, with what is wrong in `error`, for a text that is no such URL. USER and PASSWORD may be
// percent-encoded; PORT defaults to 1883, or 8883 with TLS.
std::optional<BrokerUrl> ParseBrokerUrl(std::string_view text, std::string* error);

// Whether `name` may stand as one level of a topic: not empty, no '/', '+', '#' or control character.
bool IsTopicLevel(std::string_view name);
// Whether `prefix` is one or more such levels joined by '/'.
bool IsTopicPrefix(std::string_view prefix);

}  // namespace velmora::league
