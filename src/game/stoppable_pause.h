#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace velmora {

// A worker thread's pause between two passes, which its owner cuts short when it stops the thread.
// std::condition_variable_any's stop_token wait is not used: the stop callback it registers can leave the
// waiting thread asleep for ever when the stop comes while the callback is being removed (seen with the
// MinGW-w64 C++ library), and a stop must always end a pause.
class StoppablePause final {
 public:
  // Waits for `duration` or until stopped; false when stopped.
  bool Wait(std::chrono::milliseconds duration) {
    std::unique_lock lock(mutex_);
    return !woken_.wait_for(lock, duration, [this] { return stopped_; });
  }
  void Stop() {
    {
      std::lock_guard lock(mutex_);
      stopped_ = true;
    }
    woken_.notify_all();
  }
  // For a thread that is started again.
  void Reset() {
    std::lock_guard lock(mutex_);
    stopped_ = false;
  }

 private:
  std::mutex mutex_;
  std::condition_variable woken_;
  bool stopped_ = false;
};

}  // namespace velmora
