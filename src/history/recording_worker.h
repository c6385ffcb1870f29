#pragma once

#include <array>
#include <condition_variable>
#include <cstddef>
#include <filesystem>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "history/recorder.h"

namespace velmora::history {

// One read cycle handed to the recording thread.
struct RecordingItem {
  Recorder::Clock::time_point time;
  TGameData record{};
  std::vector<LapRecord> laps;
  std::vector<StandingRecord> standings;
  std::optional<RecorderSource> attach;  // set when the source is new: a new session begins
};

// The recorder on a thread of its own, so that whoever reads the car never waits for the disk. Cycles
// are queued without blocking; when the disk falls so far behind that the queue is full, samples are
// dropped but laps and attaches are kept (a queue of nothing but those is more than an hour of racing). The
// file is opened on that thread too: a locked file waits there, not in the caller.
class RecordingWorker final {
 public:
  // Called once, on the recording thread, with what went wrong; nothing is recorded after it.
  using Failure = std::function<void(const std::string& message)>;
  static constexpr std::size_t kQueueLength = 256;

  RecordingWorker(std::filesystem::path file, std::chrono::milliseconds interval, Failure failure);
  // Writes what is queued, commits and joins the thread.
  ~RecordingWorker();
  RecordingWorker(const RecordingWorker&) = delete;
  RecordingWorker& operator=(const RecordingWorker&) = delete;

  // Never blocks on the disk. Moves from `item`.
  void Post(RecordingItem& item);
  long long Dropped() const;

 private:
  void Run(std::stop_token stop);
  static bool IsPlain(const RecordingItem& item);
  // Takes the newest sample without a lap or a new source out of the queue; false when there is none.
  bool DropNewestPlain();

  std::filesystem::path file_;
  std::chrono::milliseconds interval_;
  Failure failure_;
  mutable std::mutex mutex_;
  std::condition_variable_any ready_;
  // A ring of items made once, so that a cycle moves into a slot and allocates nothing.
  std::array<RecordingItem, kQueueLength> queue_;
  std::size_t head_ = 0;
  std::size_t count_ = 0;
  long long dropped_ = 0;
  bool failed_ = false;
  std::jthread thread_;  // last: it starts once everything above exists
};

}  // namespace velmora::history
