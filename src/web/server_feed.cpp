#include "web/server_feed.h"

#include <span>
#include <utility>

#include "net/protocol.h"
#include "platform/application_version.h"

namespace velmora::web {

ServerFeed::ServerFeed(std::string host, std::uint16_t port, std::chrono::milliseconds interval)
    : host_(std::move(host)), port_(port), interval_(interval) {}

Handshake ServerFeed::Connect() {
  connected_ = false;
  client_.Disconnect();
  if (!client_.Connect(host_, port_) || !client_.SendLine("VERSION " + platform::ApplicationVersion())) {
    client_.Disconnect();
    return Handshake::kImpossibleConnection;
  }
  const auto line = client_.ReadLine();
  const int code = line ? ParseReply(*line).code : -1;
  if (code != 200) {
    client_.Disconnect();
    return code == 500 ? Handshake::kNotSameVersion : Handshake::kImpossibleConnection;
  }
  connected_ = true;
  return Handshake::kOk;
}

bool ServerFeed::Poll(const Receive& receive) {
  if (!client_.SendLine("DATA")) {
    return false;
  }
  const auto line = client_.ReadLine();
  if (!line) {
    return false;
  }
  const ReplyLine reply = ParseReply(*line);
  if (reply.code != 201) {
    receive(nullptr, FeedStatus::kNoData);
    return true;
  }
  std::size_t size = 0;
  TGameData record{};
  if (!ParseByteCount(reply.text, size) || size != sizeof record ||
      !client_.ReadBytes(std::as_writable_bytes(std::span(&record, 1)))) {
    return false;
  }
  receive(&record, FeedStatus::kOk);
  return true;
}

bool ServerFeed::Wait(std::stop_token& stop, std::chrono::steady_clock::time_point until) {
  std::unique_lock lock(mutex_);
  wake_.wait_until(lock, stop, until, [] { return false; });
  return !stop.stop_requested();
}

void ServerFeed::Run(std::stop_token stop, const Receive& receive) {
  // A stop must not wait for a reply the server may never send.
  std::stop_callback interrupt(stop, [this] { client_.Interrupt(); });
  auto next = std::chrono::steady_clock::now();
  while (!stop.stop_requested()) {
    if (!connected_ && Connect() != Handshake::kOk) {
      receive(nullptr, FeedStatus::kLost);
      if (!Wait(stop, std::chrono::steady_clock::now() + kRetryDelay)) {
        break;
      }
      next = std::chrono::steady_clock::now();
      continue;
    }
    if (!Poll(receive)) {
      connected_ = false;
      client_.Disconnect();
      if (stop.stop_requested()) {
        break;
      }
      receive(nullptr, FeedStatus::kLost);
      continue;
    }
    // A fixed beat, not a fixed pause: a slow reply does not stretch the interval after it.
    next += interval_;
    const auto now = std::chrono::steady_clock::now();
    if (next < now) {
      next = now;
    }
    if (!Wait(stop, next)) {
      break;
    }
  }
  if (connected_) {
    client_.ClearInterrupt();
    client_.Quit();
  }
  client_.Disconnect();
}

}  // namespace velmora::web
