#pragma once

#include <atomic>
#include <cstdint>
#include <thread>

#include "game/stoppable_pause.h"

namespace velmora {

class TGame;
class TGameLink;

// The scan thread: every 250 ms it checks that the simulator window is still there, reads the cockpit
// flag, and hands the read cycle to the main thread. It ends when the window goes, when the role leaves
// stand alone, or when its owner stops it.
class TThreadData final {
 public:
  static constexpr std::uint32_t PlayerListInterval = 1000;
  static constexpr int kPassPauseMs = 250;

  explicit TThreadData(TGameLink& link);
  // Stops and joins the thread.
  ~TThreadData();
  TThreadData(const TThreadData&) = delete;
  TThreadData& operator=(const TThreadData&) = delete;

  void RequestStop() {
    thread_.request_stop();
    pause_.Stop();
  }
  bool Finished() const { return finished_.load(std::memory_order_acquire); }

  // Tick count of the last driver-list refresh, or of the thread's start. Written on the main thread (in
  // the hand-over) and once by the thread before its first pass.
  std::atomic<std::uint32_t> FStart{0};

 private:
  void Execute(std::stop_token stop);
  void SyncReadAndDisplay();
  void SyncReadAndDisplayNoCockpit();
  void RefreshDriverListWhenDue();

  TGameLink& link_;
  TGame& game_;
  std::atomic<bool> finished_{false};
  StoppablePause pause_;
  std::jthread thread_;  // last: it starts once everything above exists
};

}  // namespace velmora
