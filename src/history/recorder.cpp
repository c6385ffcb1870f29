#include "history/recorder.h"

#include <cstdio>
#include <ctime>
#include <utility>

namespace velmora::history {

Recorder::Recorder(HistoryStore& store, std::chrono::milliseconds interval)
    : store_(store), interval_(interval) {}

Recorder::~Recorder() {
  try {
    Flush();
  } catch (const SqliteError&) {
    // The store commits what it can when it closes; a destructor has nobody to tell.
  }
}

void Recorder::Attach(RecorderSource source) {
  source_ = std::move(source);
  session_.reset();
}

void Recorder::Detach() {
  source_.reset();
  session_.reset();
}

bool Recorder::IsNewSession(const TGameData& record) const {
  // A lap counter that goes back is a restart or the next session of the weekend.
  return !session_ || record.TypeSession != session_type_ || record.NombreTour < last_lap_count_;
}

void Recorder::StartSession(Clock::time_point now, const TGameData& record) {
  SessionInfo info;
  info.started_at = UtcTimestamp(std::chrono::system_clock::now());
  info.source = source_->source;
  info.simulator = source_->simulator;
  info.simulator_version = source_->simulator_version;
  info.track_length_m = record.LongueurCircuit;
  info.session_type = record.TypeSession;
  info.attached_mid_race = record.NombreTour > 0;
  session_ = store_.AddSession(info);
  session_start_ = now;
  session_type_ = record.TypeSession;
  first_lap_count_ = record.NombreTour;
  last_lap_count_ = record.NombreTour;
  last_lap_end_s_ = 0.0;
  next_sample_ = now;
}

void Recorder::EnsureTransaction(Clock::time_point now) {
  if (!store_.InTransaction()) {
    store_.Begin();
    transaction_start_ = now;
  }
}

void Recorder::Cycle(Clock::time_point now, const TGameData& record, std::span<const LapRecord> laps,
                     std::span<const StandingRecord> standings) {
  if (!source_) {
    return;
  }
  EnsureTransaction(now);
  if (IsNewSession(record)) {
    StartSession(now, record);
  }
  const double time_s = std::chrono::duration<double>(now - session_start_).count();
  // A cycle that comes a little early still counts: a loop on the same beat must not halve the rate.
  if (now + interval_ / 10 >= *next_sample_) {
    store_.AddSample(*session_, time_s, record);
    ++samples_written_;
    *next_sample_ += interval_;
    if (*next_sample_ < now) {
      *next_sample_ = now + interval_;
    }
  }
  for (LapRecord lap : laps) {
    lap.started_s = last_lap_end_s_;
    lap.ended_s = time_s;
    lap.attached_mid_race = first_lap_count_ > 0 && lap.lap == first_lap_count_ + 1;
    store_.AddLap(*session_, lap);
    ++laps_written_;
    last_lap_end_s_ = time_s;
  }
  if (!laps.empty()) {
    store_.AddStandings(*session_, laps.back().lap, standings);
  }
  last_lap_count_ = record.NombreTour;
  Tick(now);
}

void Recorder::Tick(Clock::time_point now) {
  if (transaction_start_ && store_.InTransaction() && now - *transaction_start_ >= kCommitPeriod) {
    store_.Commit();
    transaction_start_.reset();
  }
}

void Recorder::Flush() {
  if (store_.InTransaction()) {
    store_.Commit();
  }
  transaction_start_.reset();
}

std::string UtcTimestamp(std::chrono::system_clock::time_point time) {
  const auto since_epoch = time.time_since_epoch();
  const auto seconds = std::chrono::floor<std::chrono::seconds>(since_epoch);
  const auto millis = std::chrono::duration_cast<std::chrono::milliseconds>(since_epoch - seconds).count();
  const std::time_t whole = static_cast<std::time_t>(seconds.count());
  std::tm utc{};
#ifdef _WIN32
  gmtime_s(&utc, &whole);
#else
  gmtime_r(&whole, &utc);
#endif
  char text[40];
  const auto length = std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &utc);
  char fraction[8];
  std::snprintf(fraction, sizeof fraction, ".%03dZ", static_cast<int>(millis));
  return std::string(text, length) + fraction;
}

}  // namespace velmora::history
