#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "history/history_store.h"
#include "net/game_data.h"

namespace velmora::history {

// Where the recorded car comes from, as the session rows say it.
struct RecorderSource {
  std::string source = "simulator";
  std::string simulator;
  std::string simulator_version;
};

// Writes a car's read cycles into the history file: a session row per attach or new session, a sample
// per interval, each completed lap and the standings at it. Writes are gathered into one transaction a
// second, so that a killed recorder loses at most the last second.
class Recorder final {
 public:
  using Clock = std::chrono::steady_clock;
  static constexpr std::chrono::milliseconds kCommitPeriod{1000};

  Recorder(HistoryStore& store, std::chrono::milliseconds interval);
  // Commits what is written.
  ~Recorder();
  Recorder(const Recorder&) = delete;
  Recorder& operator=(const Recorder&) = delete;

  // A new attach: the next cycle opens a new session.
  void Attach(RecorderSource source);
  // The source went away: the session ends with what is written.
  void Detach();
  // One read cycle: the car now, the laps completed on this cycle and, when a lap completed, the
  // standings. Throws SqliteError when the file cannot be written.
  void Cycle(Clock::time_point now, const TGameData& record, std::span<const LapRecord> laps,
             std::span<const StandingRecord> standings);
  // Commits the open transaction once it is a second old; for when no cycle comes.
  void Tick(Clock::time_point now);
  void Flush();

  std::optional<std::int64_t> SessionId() const { return session_; }
  long long SamplesWritten() const { return samples_written_; }
  long long LapsWritten() const { return laps_written_; }

 private:
  bool IsNewSession(const TGameData& record) const;
  void StartSession(Clock::time_point now, const TGameData& record);
  void EnsureTransaction(Clock::time_point now);

  HistoryStore& store_;
  Clock::duration interval_;
  std::optional<RecorderSource> source_;
  std::optional<std::int64_t> session_;
  Clock::time_point session_start_{};
  int session_type_ = 0;
  int first_lap_count_ = 0;
  int last_lap_count_ = 0;
  double last_lap_end_s_ = 0.0;
  std::optional<Clock::time_point> next_sample_;
  std::optional<Clock::time_point> transaction_start_;
  long long samples_written_ = 0;
  long long laps_written_ = 0;
};

// The time of day in UTC as the session rows keep it: "2026-05-01T14:03:07.250Z".
std::string UtcTimestamp(std::chrono::system_clock::time_point time);

}  // namespace velmora::history
