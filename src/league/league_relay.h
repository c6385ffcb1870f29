#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

#include "league/broker_client.h"
#include "league/league_state.h"

namespace velmora::web {
class ViewerServer;
}

namespace velmora::league {

// The relay's subscription to every car under a prefix: the cars' messages build the league's state, and
// the viewers get it at most every kBatch, so that thirty cars at ten messages a second each make fifty
// frames a second per viewer rather than three hundred.
class LeagueRelay final {
 public:
  static constexpr std::chrono::milliseconds kBatch{20};

  LeagueRelay(BrokerOptions options, const std::string& prefix, std::function<void(std::string_view)> log);
  ~LeagueRelay();
  LeagueRelay(const LeagueRelay&) = delete;
  LeagueRelay& operator=(const LeagueRelay&) = delete;

  BrokerStart Start(std::chrono::milliseconds timeout, std::string* reason) {
    return broker_.Start(timeout, reason);
  }
  // Publishes to `viewers` from now on, on a thread of its own, until Stop.
  void Serve(web::ViewerServer& viewers);
  void Stop();

 private:
  void Take(std::string_view topic, std::string_view payload);
  void Forward(std::stop_token stop, web::ViewerServer& viewers);

  const std::string prefix_;
  std::function<void(std::string_view)> log_;
  std::mutex mutex_;
  std::condition_variable_any changed_;
  LeagueState state_;
  bool dirty_ = true;
  BrokerClient broker_;  // after what its callbacks use
  std::jthread forwarding_;
};

}  // namespace velmora::league
