#include "league/car_publisher.h"

#include <array>
#include <cstdlib>

#include "league/broker_client.h"

namespace velmora::league {
namespace {

void AppendPair(std::string& json, bool& first, const std::string& key, const std::string& value) {
  json += first ? "\"" : ",\"";
  first = false;
  json += key;
  json += "\":";
  json += value;
}

// The elements of a lap row "[lap,time,sector1,sector2,sector3]" as the relay's state holds it.
std::array<std::string, 5> RowCells(const std::string& row) {
  std::array<std::string, 5> cells;
  std::size_t cell = 0;
  for (std::size_t i = 1; i + 1 < row.size() && cell < cells.size(); ++i) {
    if (row[i] == ',') {
      ++cell;
    } else {
      cells[cell] += row[i];
    }
  }
  return cells;
}

std::string LapPayload(long long t, const std::string& row, const std::string& fuel) {
  const auto cells = RowCells(row);
  return "{\"t\":" + std::to_string(t) + ",\"lap\":" + cells[0] + ",\"time\":" + cells[1] +
         ",\"sector1\":" + cells[2] + ",\"sector2\":" + cells[3] + ",\"sector3\":" + cells[4] +
         ",\"fuel\":" + (fuel.empty() ? "null" : fuel) + "}";
}

}  // namespace

long long UnixMillis() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::system_clock::now().time_since_epoch())
      .count();
}

std::string StatePayload(long long t, const web::ViewState& state) {
  std::string json = "{\"t\":" + std::to_string(t) + ",\"v\":{";
  bool first = true;
  for (const auto& [key, value] : state) {
    AppendPair(json, first, key, value);
  }
  return json + "}}";
}

std::string DeltaPayload(long long t, const web::ViewState& before, const web::ViewState& after) {
  std::string json = "{\"t\":" + std::to_string(t) + ",\"v\":{";
  bool first = true;
  auto old = before.begin();
  for (const auto& [key, value] : after) {
    while (old != before.end() && old->first < key) {
      ++old;
    }
    if (old == before.end() || old->first != key || old->second != value) {
      AppendPair(json, first, key, value);
    }
  }
  return first ? std::string() : json + "}}";
}

CarPublisher::CarPublisher(BrokerClient& broker, const std::string& prefix, const std::string& car)
    : broker_(broker), base_(prefix + "/" + car + "/") {}

namespace {

// The relay's chart history ("h" and a slot number) is the page's own record of the last minutes: a
// subscriber has the live values to keep its own, and it would multiply every state message.
bool IsChartHistoryKey(const std::string& key) {
  return key.size() > 1 && key[0] == 'h' && key[1] >= '0' && key[1] <= '9';
}

}  // namespace

void CarPublisher::Publish(const web::ViewState& state) {
  std::lock_guard lock(mutex_);
  QueueCompletedLaps(state);
  state_.clear();
  for (const auto& [key, value] : state) {
    if (!IsChartHistoryKey(key)) {
      state_.emplace_hint(state_.end(), key, value);
    }
  }
  if (!broker_.IsConnected()) {
    return;
  }
  SendLaps();
  // A new subscriber gets the retained state: where the data stands must not wait for the next one.
  const auto status = state_.find("st");
  const auto sent_status = sent_.find("st");
  const bool status_changed =
      status != state_.end() && (sent_status == sent_.end() || sent_status->second != status->second);
  if (std::chrono::steady_clock::now() >= next_full_ || status_changed) {
    SendFull();
    return;
  }
  const std::string delta = DeltaPayload(UnixMillis(), sent_, state_);
  if (!delta.empty() && broker_.Publish(Topic("delta"), delta, 0, false)) {
    sent_ = state_;
  }
}

void CarPublisher::Connected() {
  std::lock_guard lock(mutex_);
  broker_.Publish(Topic("status"), "online", 1, true);
  SendLaps();
  if (!state_.empty()) {
    SendFull();
  }
}

void CarPublisher::SayOffline() {
  broker_.Publish(Topic("status"), "offline", 1, true);
}

std::size_t CarPublisher::QueuedLaps() const {
  std::lock_guard lock(mutex_);
  return laps_.size();
}

void CarPublisher::SendFull() {
  if (broker_.Publish(Topic("state"), StatePayload(UnixMillis(), state_), 1, true)) {
    sent_ = state_;
    next_full_ = std::chrono::steady_clock::now() + kFullStateEvery;
  }
}

void CarPublisher::SendLaps() {
  while (!laps_.empty() && broker_.Publish(Topic("laps"), laps_.front(), 1, false)) {
    laps_.pop_front();
  }
}

// The simulator may write a lap's times a moment after it counts the lap, so a row goes out once it has
// held still for a moment, or at once when the next lap is counted first.
void CarPublisher::QueueCompletedLaps(const web::ViewState& state) {
  const auto now = std::chrono::steady_clock::now();
  const auto count = state.find("lap");
  const int lap = count != state.end() ? std::atoi(count->second.c_str()) : 0;
  if (lap < last_queued_lap_) {
    last_queued_lap_ = 0;  // a new session counts from 1 again
    pending_lap_ = 0;
  }
  if (pending_lap_ != 0 && pending_lap_ != lap) {
    QueueLap(pending_lap_, state_);
  }
  const auto row = state.find("L" + std::to_string(lap));
  if (lap <= last_queued_lap_ || row == state.end() || row->second == "null") {
    return;
  }
  if (pending_lap_ != lap || row->second != pending_row_) {
    pending_lap_ = lap;
    pending_row_ = row->second;
    pending_since_ = now;
  } else if (now - pending_since_ >= kLapSettle) {
    QueueLap(lap, state);
  }
}

void CarPublisher::QueueLap(int lap, const web::ViewState& state) {
  const auto row = state.find("L" + std::to_string(lap));
  const auto fuel = state.find("lf" + std::to_string(lap));
  pending_lap_ = 0;
  pending_row_.clear();
  if (row == state.end() || row->second == "null") {
    return;
  }
  last_queued_lap_ = lap;
  laps_.push_back(LapPayload(UnixMillis(), row->second, fuel != state.end() ? fuel->second : std::string()));
  if (laps_.size() > kMaxQueuedLaps) {
    laps_.pop_front();
  }
}

}  // namespace velmora::league
