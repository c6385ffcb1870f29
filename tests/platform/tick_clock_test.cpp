#include "platform/tick_clock.h"

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

TEST(TickClockTest, SystemClockAdvances) {
  SystemTickClock clock;
  const auto first = clock.Now();
  const auto second = clock.Now();
  EXPECT_LE(static_cast<std::uint32_t>(second - first), 1000U);
}

}  // namespace
}  // namespace velmora::platform
