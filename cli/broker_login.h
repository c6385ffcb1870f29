#pragma once

#include <iosfwd>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "league/broker_client.h"
#include "league/broker_url.h"

namespace velmora::cli {

// What the broker options of a command say: --broker URL, and the password from --password-file FILE,
// else the environment variable VELMORA_MQTT_PASSWORD, else the URL (where `ps` shows it to anyone).
struct BrokerLogin {
  league::BrokerUrl url;
  std::string ca_file;
  std::string password_file;
  bool have_url = false;
};

// Takes the option at `arguments[i]` (and its value) when it is one of --broker, --ca, --password-file:
// true, with `i` on the value; `error` says what is wrong with it, when anything is.
bool TakeBrokerOption(std::span<const std::string> arguments, std::size_t& i, BrokerLogin& login,
                      std::string& error);

// Fills in the password from the file or the environment; empty, or what is wrong.
std::string CompleteBrokerLogin(BrokerLogin& login);

inline constexpr int kExitBrokerUnreachable = 8;
inline constexpr int kExitBrokerRefused = 9;

// 0 when the broker took the connection; otherwise says why on `err` as "velmora-cli COMMAND: ..." and
// gives the exit status.
int ExitForBrokerStart(league::BrokerStart start, const league::BrokerUrl& url, const std::string& why,
                       std::string_view command, std::ostream& err);

}  // namespace velmora::cli
