#include "web/request_origin.h"

#include <algorithm>

namespace velmora::web {
namespace {

std::string Lower(std::string_view text) {
  std::string lower(text);
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
  return lower;
}

bool IsDigits(std::string_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool IsNameCharacter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.' || c == '_';
}

// An IPv4-mapped IPv6 address compares as its IPv4 address.
asio::ip::address Plain(const asio::ip::address& address) {
  if (address.is_v6() && address.to_v6().is_v4_mapped()) {
    return asio::ip::make_address_v4(asio::ip::v4_mapped, address.to_v6());
  }
  return address;
}

}  // namespace

std::string HostName(std::string_view host) {
  std::string name = Lower(host);
  std::string_view port;
  if (name.starts_with('[')) {
    const auto close = name.find(']');
    if (close == std::string::npos) {
      return {};
    }
    const std::string_view rest = std::string_view(name).substr(close + 1);
    if (!rest.empty() && (!rest.starts_with(':') || !IsDigits(rest.substr(1)))) {
      return {};
    }
    name = name.substr(1, close - 1);
    boost::system::error_code error;
    asio::ip::make_address_v6(name, error);
    return error ? std::string() : name;
  }
  if (const auto colon = name.find(':'); colon != std::string::npos) {
    port = std::string_view(host).substr(colon + 1);
    if (!IsDigits(port)) {
      return {};
    }
    name.resize(colon);
  }
  if (name.ends_with('.')) {
    name.pop_back();
  }
  if (name.empty() || !std::all_of(name.begin(), name.end(), IsNameCharacter)) {
    return {};
  }
  return name;
}

bool IsOwnHost(std::string_view host, const asio::ip::address& local, const asio::ip::address& bound,
               const std::vector<std::string>& allowed) {
  const std::string name = HostName(host);
  if (name.empty()) {
    return false;
  }
  if (name == "localhost") {
    return true;
  }
  boost::system::error_code error;
  const asio::ip::address address = Plain(asio::ip::make_address(name, error));
  if (!error) {
    return address.is_loopback() || address == Plain(local) ||
           (!bound.is_unspecified() && address == Plain(bound));
  }
  return std::any_of(allowed.begin(), allowed.end(),
                     [&](const std::string& allowed_host) { return HostName(allowed_host) == name; });
}

bool IsOwnOrigin(std::string_view origin, std::string_view host) {
  const std::string lower = Lower(origin);
  std::string_view rest = lower;
  if (rest.starts_with("http://")) {
    rest.remove_prefix(7);
  } else if (rest.starts_with("https://")) {
    rest.remove_prefix(8);
  } else {
    return false;
  }
  return !host.empty() && rest == Lower(host);
}

}  // namespace velmora::web
