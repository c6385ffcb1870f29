#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <stop_token>
#include <string>

#include "net/game_data.h"
#include "net/protocol_client.h"
#include "web/view_state.h"

namespace velmora::web {

enum class Handshake : std::uint8_t { kOk, kImpossibleConnection, kNotSameVersion };

// The relay's one connection to a Velmora server: the client handshake, then a record every interval. The
// server sees one client however many viewers watch. Losses after the first handshake are reported and
// retried, never fatal.
class ServerFeed final {
 public:
  // Called on the feed's thread with each record (null when there is none) and where the feed stands.
  using Receive = std::function<void(const TGameData* record, FeedStatus status)>;

  ServerFeed(std::string host, std::uint16_t port, std::chrono::milliseconds interval);

  // Connects and shakes hands; the first one is made by the caller, who decides what a refusal means.
  Handshake Connect();
  // Polls until `stop` is requested; interrupts its own waits when it is.
  void Run(std::stop_token stop, const Receive& receive);

  static constexpr std::chrono::milliseconds kRetryDelay{1000};

 private:
  bool Poll(const Receive& receive);
  // False when stop was requested during the wait.
  bool Wait(std::stop_token& stop, std::chrono::steady_clock::time_point until);

  std::string host_;
  std::uint16_t port_;
  std::chrono::milliseconds interval_;
  TProtocolClient client_;
  bool connected_ = false;
  std::mutex mutex_;
  std::condition_variable_any wake_;
};

}  // namespace velmora::web
