#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <stop_token>

#include "history/history_store.h"
#include "net/protocol_server.h"

namespace velmora::history {

// A recorded session served as if its car were live: each "DATA" gets the sample recorded at the
// session time the replay has reached, `speed` times faster than real time from the first request.
// After the last sample the last record stays.
class ReplaySource final : public ServerDataSource {
 public:
  using Clock = std::chrono::steady_clock;

  // Throws SqliteError when the file cannot be read or holds no such session or no sample of it.
  ReplaySource(const std::filesystem::path& path, std::int64_t session, double speed);

  bool CommandData(TGameData& record, std::stop_token stop) override;

  // The record at `time_s` of the session: the last sample at or before it.
  const TGameData& RecordAt(double time_s);
  double Duration() const { return duration_s_; }
  bool Finished() const { return finished_; }

 private:
  // Fills the window of samples that holds `time_s`.
  void Load(double time_s);

  HistoryStore store_;
  std::int64_t session_;
  double speed_;
  double duration_s_ = 0.0;
  std::optional<Clock::time_point> start_;
  // A few seconds of samples at a time: a day-long session is not held in memory.
  std::vector<std::pair<double, TGameData>> window_;
  double window_from_s_ = 0.0;
  double window_to_s_ = -1.0;
  std::size_t cursor_ = 0;
  TGameData current_{};
  bool finished_ = false;
};

}  // namespace velmora::history
