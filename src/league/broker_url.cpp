#include "league/broker_url.h"

#include <algorithm>
#include <charconv>

#include "web/url_query.h"

namespace velmora::league {
namespace {

std::optional<BrokerUrl> Fail(std::string* error, std::string why) {
  if (error != nullptr) {
    *error = std::move(why);
  }
  return std::nullopt;
}

}  // namespace

std::string BrokerUrl::Shown() const {
  std::string shown = tls ? "mqtts://" : "mqtt://";
  if (!user.empty()) {
    shown += user + "@";
  }
  shown += host.find(':') != std::string::npos ? "[" + host + "]" : host;
  return shown + ":" + std::to_string(port);
}

std::optional<BrokerUrl> ParseBrokerUrl(std::string_view text, std::string* error) {
  BrokerUrl url;
  constexpr std::string_view kPlain = "mqtt://";
  constexpr std::string_view kTls = "mqtts://";
  if (text.starts_with(kPlain)) {
    text.remove_prefix(kPlain.size());
  } else if (text.starts_with(kTls)) {
    text.remove_prefix(kTls.size());
    url.tls = true;
    url.port = 8883;
  } else {
    return Fail(error, "the broker's URL begins with mqtt:// or mqtts://");
  }
  if (!text.empty() && text.back() == '/') {
    text.remove_suffix(1);
  }
  if (const auto at = text.rfind('@'); at != std::string_view::npos) {
    const std::string_view login = text.substr(0, at);
    text.remove_prefix(at + 1);
    const auto colon = login.find(':');
    const auto user = web::PercentDecoded(login.substr(0, colon));
    if (!user || user->empty()) {
      return Fail(error, "the broker's URL names no user before '@'");
    }
    url.user = *user;
    if (colon != std::string_view::npos) {
      const auto password = web::PercentDecoded(login.substr(colon + 1));
      if (!password) {
        return Fail(error, "the password in the broker's URL has a bad %-escape");
      }
      url.password = *password;
      url.has_password = true;
    }
  }
  std::string_view port_text;
  if (text.starts_with('[')) {
    const auto close = text.find(']');
    if (close == std::string_view::npos) {
      return Fail(error, "an IPv6 address in the broker's URL ends with ']'");
    }
    url.host = text.substr(1, close - 1);
    text.remove_prefix(close + 1);
    if (!text.empty()) {
      if (text.front() != ':') {
        return Fail(error, "the broker's URL has text after its host");
      }
      port_text = text.substr(1);
    }
  } else {
    const auto colon = text.find(':');
    url.host = text.substr(0, colon);
    if (colon != std::string_view::npos) {
      port_text = text.substr(colon + 1);
    }
  }
  if (url.host.empty() || url.host.find_first_of("/?#@") != std::string::npos) {
    return Fail(error, "the broker's URL names no host");
  }
  if (!port_text.empty() || text.find(':') != std::string_view::npos) {
    unsigned port = 0;
    const auto [end, failed] = std::from_chars(port_text.data(), port_text.data() + port_text.size(), port);
    if (failed != std::errc{} || end != port_text.data() + port_text.size() || port == 0 || port > 65535) {
      return Fail(error, "the port in the broker's URL is a number from 1 to 65535");
    }
    url.port = static_cast<std::uint16_t>(port);
  }
  return url;
}

bool IsTopicLevel(std::string_view name) {
  return !name.empty() && std::none_of(name.begin(), name.end(), [](char c) {
    return c == '/' || c == '+' || c == '#' || static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
  });
}

bool IsTopicPrefix(std::string_view prefix) {
  for (;;) {
    const auto slash = prefix.find('/');
    if (!IsTopicLevel(prefix.substr(0, slash))) {
      return false;
    }
    if (slash == std::string_view::npos) {
      return true;
    }
    prefix.remove_prefix(slash + 1);
  }
}

}  // namespace velmora::league
