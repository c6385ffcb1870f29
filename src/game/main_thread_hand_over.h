#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <stop_token>
#include <thread>

namespace velmora {

// A step a thread hands to the main thread and ends later (MainThreadHandOver::Hand, then Finish), going on
// with its own work between the two. The thread that owns it keeps it alive and unchanged until Finish.
class HandedStep {
 public:
  explicit HandedStep(const std::function<void()>& step) : step_(&step) {}

 private:
  friend class QueuedHandOver;
  enum class State { kIdle, kWaiting, kRunning, kDone };
  const std::function<void()>* step_;
  State state_ = State::kIdle;
};

// Runs steps on the main thread: the only meeting point of the worker threads and the game model.
class MainThreadHandOver {
 public:
  virtual ~MainThreadHandOver() = default;

  // True once the step has run on the main thread. False, without running it, when called on the main
  // thread itself or after the main thread stopped taking steps (either would wait forever), or when
  // `stop` is requested before the main thread took the step.
  bool RunAndWait(const std::function<void()>& step, std::stop_token stop) {
    HandedStep handed(step);
    return Hand(handed, stop) && Finish(handed, stop);
  }

  // Queues the step for the main thread without waiting; false, and not queued, in the cases where
  // RunAndWait refuses a step. A queued step must be finished before it is handed again or destroyed.
  virtual bool Hand(HandedStep& step, std::stop_token stop) = 0;
  // Waits until the main thread has run a queued step, as RunAndWait does, and takes it back; true if it
  // ran. A thread that finishes a step the main thread has already taken is not put to sleep.
  virtual bool Finish(HandedStep& step, std::stop_token stop) = 0;
};

// A queue of waiting steps that the main thread drains. The dashboard drains it from its event loop when
// `wake_main` tells it there is work; the command line and the tests drain it themselves.
class QueuedHandOver final : public MainThreadHandOver {
 public:
  // Constructed on the main thread, which it takes to be the thread that drains it.
  explicit QueuedHandOver(std::function<void()> wake_main = {});
  ~QueuedHandOver() override;

  bool Hand(HandedStep& step, std::stop_token stop) override;
  bool Finish(HandedStep& step, std::stop_token stop) override;

  // Main thread: runs every step waiting now; returns how many ran.
  int RunPending();
  // Main thread: waits up to `timeout_ms` for a step, runs the waiting ones; false when none came.
  bool WaitAndRun(int timeout_ms);
  // Refuses every step from now on and releases the threads that wait.
  void Close();

 private:
  using State = HandedStep::State;

  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<HandedStep*> queue_;
  bool closed_ = false;
  std::thread::id main_thread_;
  std::function<void()> wake_main_;
};

}  // namespace velmora
