#include "broker_login.h"

#include <cstdlib>
#include <fstream>
#include <ostream>
#include <sstream>

namespace velmora::cli {

bool TakeBrokerOption(std::span<const std::string> arguments, std::size_t& i, BrokerLogin& login,
                      std::string& error) {
  const std::string& name = arguments[i];
  if (name != "--broker" && name != "--ca" && name != "--password-file") {
    return false;
  }
  if (i + 1 >= arguments.size()) {
    error = name + " needs a value";
    return true;
  }
  const std::string& value = arguments[++i];
  if (name == "--broker") {
    std::string why;
    const auto url = league::ParseBrokerUrl(value, &why);
    if (!url) {
      error = "--broker: " + why;
      return true;
    }
    login.url = *url;
    login.have_url = true;
  } else if (name == "--ca") {
    login.ca_file = value;
  } else {
    login.password_file = value;
  }
  return true;
}

std::string CompleteBrokerLogin(BrokerLogin& login) {
  if (!login.password_file.empty()) {
    std::ifstream file(login.password_file);
    if (!file) {
      return "cannot read the password file " + login.password_file;
    }
    std::string password;
    std::getline(file, password);
    if (!password.empty() && password.back() == '\r') {
      password.pop_back();
    }
    login.url.password = password;
    login.url.has_password = true;
  } else if (const char* password = std::getenv("VELMORA_MQTT_PASSWORD"); password != nullptr) {
    login.url.password = password;
    login.url.has_password = true;
  }
  if (login.url.has_password && login.url.user.empty()) {
    return "a password needs a user: mqtt://USER@HOST";
  }
  if (!login.ca_file.empty() && !login.url.tls) {
    return "--ca is for mqtts:// brokers";
  }
  return {};
}

int ExitForBrokerStart(league::BrokerStart start, const league::BrokerUrl& url, const std::string& why,
                       std::string_view command, std::ostream& err) {
  switch (start) {
    case league::BrokerStart::kConnected:
      return 0;
    case league::BrokerStart::kUnreachable:
      err << "velmora-cli " << command << ": cannot reach the broker " << url.Shown() << ": " << why << "\n";
      return kExitBrokerUnreachable;
    case league::BrokerStart::kRefused:
      break;
  }
  err << "velmora-cli " << command << ": the broker " << url.Shown() << " refused the login: " << why << "\n";
  return kExitBrokerRefused;
}

}  // namespace velmora::cli
