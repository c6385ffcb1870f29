#include "history/replay_source.h"

#include <string>

#include <sqlite3.h>

namespace velmora::history {
namespace {

constexpr double kWindow_s = 10.0;

}  // namespace

ReplaySource::ReplaySource(const std::filesystem::path& path, std::int64_t session, double speed)
    : store_(path, HistoryStore::Access::kRead), session_(session), speed_(speed) {
  const auto summary = store_.Session(session);
  if (!summary) {
    throw SqliteError(SQLITE_NOTFOUND, "the file holds no session " + std::to_string(session) +
                                           " (velmora-cli sessions lists them)");
  }
  Load(0.0);
  if (window_.empty()) {
    throw SqliteError(SQLITE_NOTFOUND, "session " + std::to_string(session) + " holds no samples to replay");
  }
  duration_s_ = summary->duration_s;
  current_ = window_.front().second;
}

void ReplaySource::Load(double time_s) {
  window_.clear();
  cursor_ = 0;
  window_from_s_ = time_s;
  window_to_s_ = time_s + kWindow_s;
  // The sample at or before `time_s` first, so that the record there is known.
  double from = time_s;
  Statement before(store_.Connection(),
                   "SELECT max(time_s) FROM samples WHERE session_id = ? AND time_s <= ?");
  before.Bind(1, session_);
  before.Bind(2, time_s);
  if (before.Step() && !before.IsNull(0)) {
    from = before.Double(0);
  }
  store_.ForEachSample(session_, from, window_to_s_, [this](double t, const TGameData& record) {
    window_.emplace_back(t, record);
    return true;
  });
}

const TGameData& ReplaySource::RecordAt(double time_s) {
  if (time_s < window_from_s_ || time_s > window_to_s_) {
    Load(time_s);
  }
  while (cursor_ + 1 < window_.size() && window_[cursor_ + 1].first <= time_s) {
    ++cursor_;
  }
  if (cursor_ < window_.size() && window_[cursor_].first <= time_s) {
    current_ = window_[cursor_].second;
  }
  finished_ = time_s >= duration_s_;
  return current_;
}

bool ReplaySource::CommandData(TGameData& record, std::stop_token) {
  const auto now = Clock::now();
  if (!start_) {
    start_ = now;
  }
  const double time_s = std::chrono::duration<double>(now - *start_).count() * speed_;
  try {
    record = RecordAt(time_s);
  } catch (const SqliteError&) {
    // A file that went bad under the replay: the last record stays rather than ending the client.
    record = current_;
  }
  return true;
}

}  // namespace velmora::history
