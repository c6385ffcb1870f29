#include "race/lap_time_text.h"

#include <cmath>
#include <limits>
#include <vector>

#include <gtest/gtest.h>

namespace velmora {
namespace {

TEST(FormatValueTest, MinutesUnpaddedAndSecondsWithThreeDecimals) {
  struct Case {
    float seconds;
    const char* text;
  };
  const std::vector<Case> cases{
      {83.456F, "1:23.456"},
      {9.5F, "0:09.500"},
      {59 * 60 + 59.5F, "59:59.500"},
      {7200.0F, "120:00.000"},
      {60.0F, "1:00.000"},
      {0.0625F, "0:00.063"},   // an exact half in binary goes away from zero
      {59.9996F, "1:00.000"},  // rounds up into the next minute, not to 0:60.000
      {0.0F, "--:--.---"},
      {-1.0F, "--:--.---"},
      {std::nanf(""), "--:--.---"},
      {std::numeric_limits<float>::infinity(), "--:--.---"},
      {3.0e38F, "--:--.---"},  // minutes far beyond 32 bits
      {-30.0F, "-1:30.000"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.seconds);
    EXPECT_EQ(FormatValue(c.seconds), c.text);
  }
}

}  // namespace
}  // namespace velmora
