#pragma once

#include <chrono>
#include <cstddef>
#include <deque>
#include <mutex>
#include <string>

#include "web/view_state.h"

namespace velmora::league {

class BrokerClient;

// The topics of one car under PREFIX/NAME/ and what goes out on them:
// - "status": "online" (retained) once connected; "offline" as the last will, and on a clean stop;
// - "state": {"t":MS,"v":{...}}, every key of the relay's state, retained, every few seconds and on
//   each (re)connection;
// - "delta": {"t":MS,"v":{...}}, the keys that changed since the last message, at each poll;
// - "laps": {"t":MS,"lap":N,"time":S,"sector1":S,"sector2":S,"sector3":S,"fuel":L} for each completed
//   lap, QoS 1.
// MS is the publisher's clock (milliseconds since 1970) when it sent the message.
class CarPublisher final {
 public:
  static constexpr std::chrono::seconds kFullStateEvery{5};
  // Lap rows kept while the broker cannot be reached; past that the oldest go.
  static constexpr std::size_t kMaxQueuedLaps = 1000;
  // How long a lap's row must hold still before it counts as complete.
  static constexpr std::chrono::milliseconds kLapSettle{1500};

  CarPublisher(BrokerClient& broker, const std::string& prefix, const std::string& car);

  std::string Topic(const char* leaf) const { return base_ + leaf; }

  // The car's state after a poll. Live values that cannot go out at once are dropped (the next full
  // state carries them); completed laps wait for the connection.
  void Publish(const web::ViewState& state);
  // After each (re)connection: "online", the whole state and the laps that waited. Network thread.
  void Connected();
  // A clean stop: "offline", retained, in place of the last will the goodbye cancels.
  void SayOffline();

  std::size_t QueuedLaps() const;

 private:
  void SendFull();
  void SendLaps();
  void QueueCompletedLaps(const web::ViewState& state);
  void QueueLap(int lap, const web::ViewState& state);

  BrokerClient& broker_;
  const std::string base_;
  mutable std::mutex mutex_;
  web::ViewState sent_;  // what subscribers hold: the last full state and every delta since
  web::ViewState state_;
  std::chrono::steady_clock::time_point next_full_{};
  std::deque<std::string> laps_;  // payloads waiting for the connection
  int last_queued_lap_ = 0;
  int pending_lap_ = 0;  // a row seen but not yet settled; 0 when none
  std::string pending_row_;
  std::chrono::steady_clock::time_point pending_since_{};
};

// Milliseconds since 1970 on this machine's clock.
long long UnixMillis();

// {"t":MS,"v":{...}} of every key of `state`, or of the keys whose values differ from `before` (empty
// text when none does).
std::string StatePayload(long long t, const web::ViewState& state);
std::string DeltaPayload(long long t, const web::ViewState& before, const web::ViewState& after);

}  // namespace velmora::league
