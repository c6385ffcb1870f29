#include "detection_loop.h"

namespace velmora::cli {
namespace {

constexpr int kDetectionPeriodMs = 1000;
constexpr int kPumpSliceMs = 100;

}  // namespace

void RunDetection(TGameLink& link, const LoopTimer& timer, QueuedHandOver& hand_over,
                  const platform::TickClock& clock, const std::function<bool()>& keep_going) {
  std::uint32_t last_attempt = clock.Now() - kDetectionPeriodMs - 1;
  while (keep_going()) {
    if (timer.Enabled() && platform::TicksElapsed(clock.Now(), last_attempt, kDetectionPeriodMs - 1)) {
      last_attempt = clock.Now();
      link.TimerProgramTimer();
    }
    hand_over.WaitAndRun(kPumpSliceMs);
  }
}

}  // namespace velmora::cli
