#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <stop_token>
#include <thread>

namespace velmora {

// Runs a step on the main thread and waits for it: the only meeting point of the worker threads and the
// game model.
class MainThreadHandOver {
 public:
  virtual ~MainThreadHandOver() = default;

  // True once the step has run on the main thread. False, without running it, when called on the main
  // thread itself or after the main thread stopped taking steps (either would wait forever), or when
  // `stop` is requested before the main thread took the step.
  virtual bool RunAndWait(const std::function<void()>& step, std::stop_token stop) = 0;
};

// A queue of waiting steps that the main thread drains. The dashboard drains it from its event loop when
// `wake_main` tells it there is work; the command line and the tests drain it themselves.
class QueuedHandOver final : public MainThreadHandOver {
 public:
  // Constructed on the main thread, which it takes to be the thread that drains it.
  explicit QueuedHandOver(std::function<void()> wake_main = {});
  ~QueuedHandOver() override;

  bool RunAndWait(const std::function<void()>& step, std::stop_token stop) override;

  // Main thread: runs every step waiting now; returns how many ran.
  int RunPending();
  // Main thread: waits up to `timeout_ms` for a step, runs the waiting ones; false when none came.
  bool WaitAndRun(int timeout_ms);
  // Refuses every step from now on and releases the threads that wait.
  void Close();

 private:
  enum class State { kWaiting, kRunning, kDone, kAbandoned };
  struct Task {
    const std::function<void()>* step;
    State state = State::kWaiting;
  };

  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<Task*> queue_;
  bool closed_ = false;
  std::thread::id main_thread_;
  std::function<void()> wake_main_;
};

}  // namespace velmora
