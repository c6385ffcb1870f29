#include "league/league_relay.h"

#include "web/viewer_server.h"

namespace velmora::league {

LeagueRelay::LeagueRelay(BrokerOptions options, const std::string& prefix,
                         std::function<void(std::string_view)> log)
    : prefix_(prefix), log_(std::move(log)), state_(prefix), broker_(std::move(options)) {
  broker_.OnMessage([this](std::string_view topic, std::string_view payload) { Take(topic, payload); });
  // Subscribed again at every connection: a broker that restarted without keeping sessions forgets them.
  broker_.OnConnected([this] {
    for (const char* leaf : {"status", "state", "delta"}) {
      broker_.Subscribe(prefix_ + "/+/" + leaf, 0);
    }
    log_("subscribed to " + prefix_ + "/+/status, state and delta");
  });
  broker_.OnLost([this] { log_("lost the broker; connecting again"); });
}

LeagueRelay::~LeagueRelay() {
  Stop();
}

void LeagueRelay::Serve(web::ViewerServer& viewers) {
  forwarding_ = std::jthread([this, &viewers](std::stop_token stop) { Forward(stop, viewers); });
}

void LeagueRelay::Stop() {
  forwarding_.request_stop();
  changed_.notify_all();
  if (forwarding_.joinable()) {
    forwarding_.join();
  }
}

void LeagueRelay::Take(std::string_view topic, std::string_view payload) {
  std::lock_guard lock(mutex_);
  const std::size_t cars = state_.Cars();
  if (state_.Apply(topic, payload)) {
    dirty_ = true;
    changed_.notify_one();
  }
  if (state_.Cars() != cars) {
    log_("car " + std::string(topic.substr(prefix_.size() + 1,
                                           topic.find('/', prefix_.size() + 1) - prefix_.size() - 1)));
  }
}

void LeagueRelay::Forward(std::stop_token stop, web::ViewerServer& viewers) {
  std::unique_lock lock(mutex_);
  while (!stop.stop_requested()) {
    if (!changed_.wait(lock, stop, [this] { return dirty_; })) {
      return;
    }
    dirty_ = false;
    viewers.Publish(state_.State());
    // What arrives meanwhile waits for the next batch.
    lock.unlock();
    std::this_thread::sleep_for(kBatch);
    lock.lock();
  }
}

}  // namespace velmora::league
