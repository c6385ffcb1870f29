#include "history/recording_worker.h"

#include <utility>

namespace velmora::history {

RecordingWorker::RecordingWorker(std::filesystem::path file, std::chrono::milliseconds interval,
                                 Failure failure)
    : file_(std::move(file)),
      interval_(interval),
      failure_(std::move(failure)),
      thread_([this](std::stop_token stop) { Run(stop); }) {}

RecordingWorker::~RecordingWorker() {
  thread_.request_stop();
  ready_.notify_all();
}

void RecordingWorker::Post(RecordingItem& item) {
  // The caller's item is empty afterwards, whatever became of it: ready for the next cycle.
  const auto empty = [&item] {
    item.laps.clear();
    item.standings.clear();
    item.attach.reset();
  };
  {
    std::lock_guard lock(mutex_);
    if (failed_) {
      empty();
      return;
    }
    if (count_ == kQueueLength) {
      // A plain sample gives way; a lap or a new source must not be lost, so the newest queued sample
      // makes room for it instead.
      if (IsPlain(item) || !DropNewestPlain()) {
        ++dropped_;
        empty();
        return;
      }
      ++dropped_;
    }
    queue_[(head_ + count_) % kQueueLength] = std::move(item);
    ++count_;
    empty();
  }
  ready_.notify_one();
}

bool RecordingWorker::IsPlain(const RecordingItem& item) {
  return item.laps.empty() && !item.attach;
}

bool RecordingWorker::DropNewestPlain() {
  for (std::size_t j = count_; j-- > 0;) {
    if (!IsPlain(queue_[(head_ + j) % kQueueLength])) {
      continue;
    }
    for (std::size_t m = j; m + 1 < count_; ++m) {
      queue_[(head_ + m) % kQueueLength] = std::move(queue_[(head_ + m + 1) % kQueueLength]);
    }
    --count_;
    return true;
  }
  return false;
}

long long RecordingWorker::Dropped() const {
  std::lock_guard lock(mutex_);
  return dropped_;
}

void RecordingWorker::Run(std::stop_token stop) {
  const auto fail = [this](const std::string& message) {
    {
      std::lock_guard lock(mutex_);
      failed_ = true;
      count_ = 0;
    }
    failure_(message);
  };
  std::optional<HistoryStore> store;
  try {
    if (file_.has_parent_path()) {
      std::filesystem::create_directories(file_.parent_path());
    }
    store.emplace(file_, HistoryStore::Access::kWrite);
  } catch (const std::exception& error) {
    fail("cannot open " + file_.string() + ": " + error.what());
    return;
  }
  Recorder recorder(*store, interval_);
  RecordingItem item;
  for (;;) {
    {
      std::unique_lock lock(mutex_);
      // Woken by a cycle or a stop; otherwise once a second, to commit when the cycles have stopped.
      ready_.wait_for(lock, stop, Recorder::kCommitPeriod, [this] { return count_ > 0; });
      if (count_ == 0) {
        if (stop.stop_requested()) {
          break;
        }
      } else {
        item = std::move(queue_[head_]);
        head_ = (head_ + 1) % kQueueLength;
        --count_;
      }
    }
    try {
      if (item.attach) {
        recorder.Attach(*item.attach);
        item.attach.reset();
      }
      if (item.time != Recorder::Clock::time_point{}) {
        recorder.Cycle(item.time, item.record, item.laps, item.standings);
        item.time = {};
        item.laps.clear();
        item.standings.clear();
      } else {
        recorder.Tick(Recorder::Clock::now());
      }
    } catch (const SqliteError& error) {
      fail("cannot write " + file_.string() + ": " + error.what());
      return;
    }
  }
  try {
    recorder.Flush();
  } catch (const SqliteError& error) {
    fail("cannot write " + file_.string() + ": " + error.what());
  }
}

}  // namespace velmora::history
