#include "platform/tick_clock.h"

#include <chrono>
#include <thread>

#include <gtest/gtest.h>

namespace velmora::platform {
namespace {

TEST(TickClockTest, ElapsedIsStrictAndSurvivesTheWrap) {
  struct Case {
    std::uint32_t now;
    std::uint32_t since;
    bool elapsed;
  };
  const Case cases[] = {
      {1000, 0, false},                                   // exactly the period
      {1001, 0, true},         {744, 0xFFFFFF00, false},  // exactly 1000 ms across the wrap
      {745, 0xFFFFFF00, true}, {0, 0, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(TicksElapsed(c.now, c.since, 1000), c.elapsed) << c.now << " since " << c.since;
  }
}

// Every throttle's period is in milliseconds: 50 ticks of the clock are 50 ms of real time.
TEST(TickClockTest, SystemClockCountsMilliseconds) {
  SystemTickClock clock;
  const auto steady_start = std::chrono::steady_clock::now();
  const std::uint32_t start = clock.Now();
  const auto give_up = steady_start + std::chrono::seconds(2);
  while (static_cast<std::uint32_t>(clock.Now() - start) < 50 && std::chrono::steady_clock::now() < give_up) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  const auto steady_ms =
      std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - steady_start)
          .count();
#ifdef _WIN32
  // GetTickCount moves in steps of the system timer, 10 to 16 ms.
  constexpr long long kStep_ms = 16;
#else
  constexpr long long kStep_ms = 1;
#endif
  EXPECT_GE(steady_ms, 50 - kStep_ms);
  EXPECT_LT(steady_ms, 1000);
}

}  // namespace
}  // namespace velmora::platform
