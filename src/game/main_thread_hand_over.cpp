#include "game/main_thread_hand_over.h"

#include <algorithm>
#include <chrono>

namespace velmora {
namespace {

constexpr std::chrono::milliseconds kStopCheckInterval{20};

}  // namespace

QueuedHandOver::QueuedHandOver(std::function<void()> wake_main)
    : main_thread_(std::this_thread::get_id()), wake_main_(std::move(wake_main)) {}

QueuedHandOver::~QueuedHandOver() {
  Close();
}

bool QueuedHandOver::Hand(HandedStep& step, std::stop_token stop) {
  if (std::this_thread::get_id() == main_thread_) {
    return false;
  }
  {
    std::lock_guard lock(mutex_);
    if (closed_ || stop.stop_requested()) {
      return false;
    }
    step.state_ = State::kWaiting;
    queue_.push_back(&step);
  }
  changed_.notify_all();
  if (wake_main_) {
    wake_main_();
  }
  return true;
}

bool QueuedHandOver::Finish(HandedStep& step, std::stop_token stop) {
  // The stop is looked at every few milliseconds rather than through a std::stop_callback: removing a
  // callback that another thread is running can leave this thread asleep for ever (seen with the MinGW-w64
  // C++ library). A step is normally taken within one frame, so the wait rarely wakes more than once.
  std::unique_lock lock(mutex_);
  for (;;) {
    switch (step.state_) {
      case State::kDone:
        step.state_ = State::kIdle;
        return true;
      case State::kIdle:
        return false;
      case State::kWaiting:
        // A step the main thread has begun is waited for to its end, whatever happens meanwhile.
        if (closed_ || stop.stop_requested()) {
          queue_.erase(std::find(queue_.begin(), queue_.end(), &step));
          step.state_ = State::kIdle;
          return false;
        }
        break;
      case State::kRunning:
        break;
    }
    changed_.wait_for(lock, kStopCheckInterval);
  }
}

int QueuedHandOver::RunPending() {
  int ran = 0;
  std::unique_lock lock(mutex_);
  while (!queue_.empty()) {
    HandedStep* task = queue_.front();
    queue_.pop_front();
    task->state_ = State::kRunning;
    lock.unlock();
    (*task->step_)();
    lock.lock();
    task->state_ = State::kDone;
    // Woken after the unlock, the waiting thread finds the mutex free instead of sleeping on it once more.
    lock.unlock();
    changed_.notify_all();
    lock.lock();
    ++ran;
  }
  return ran;
}

bool QueuedHandOver::WaitAndRun(int timeout_ms) {
  {
    std::unique_lock lock(mutex_);
    if (!changed_.wait_for(lock, std::chrono::milliseconds(timeout_ms),
                           [this] { return !queue_.empty() || closed_; })) {
      return false;
    }
  }
  return RunPending() > 0;
}

void QueuedHandOver::Close() {
  {
    std::lock_guard lock(mutex_);
    closed_ = true;
  }
  changed_.notify_all();
}

}  // namespace velmora
