#pragma once

#include <functional>

#include "game/game_link.h"
#include "game/main_thread_hand_over.h"
#include "platform/tick_clock.h"

namespace velmora::cli {

// A detection timer that only remembers whether it runs; RunDetection ticks it.
class LoopTimer final : public DetectionTimer {
 public:
  void SetEnabled(bool enabled) override { enabled_ = enabled; }
  bool Enabled() const override { return enabled_; }

 private:
  bool enabled_ = true;
};

// The main thread of a program without a window: a detection attempt once a second while the timer runs,
// and the steps other threads hand to this one, until `keep_going` (asked every 100 ms) says to stop.
void RunDetection(TGameLink& link, const LoopTimer& timer, QueuedHandOver& hand_over,
                  const platform::TickClock& clock, const std::function<bool()>& keep_going);

}  // namespace velmora::cli
