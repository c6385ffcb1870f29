#include "lap_rows.h"

#include <vector>

#include <gtest/gtest.h>

namespace velmora::cli {
namespace {

TEST(LapRowsTest, LapTimeTextsBackToSeconds) {
  struct Case {
    const char* text;
    std::optional<double> seconds;
  };
  const std::vector<Case> cases{
      {"1:23.456", 83.456},        {"0:09.500", 9.5},  {"120:00.000", 7200.0}, {"-1:55.000", -5.0},
      {"--:--.---", std::nullopt}, {"", std::nullopt}, {"12.5", std::nullopt}, {"1:-5.000", std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(SecondsOfLapTime(c.text), c.seconds);
  }
}

TEST(LapRowsTest, EmptyCellsAreNull) {
  TLapRow row;
  row.Lap = 7;
  row.Sector1 = "0:30.500";
  row.Final = "--:--.---";
  row.AverageSpeed = 144.0;
  row.Fuel = 2.5;
  EXPECT_EQ(LapRowJson(row),
            "{\"lap\":7,\"intermediate1\":30.5,\"intermediate2\":null,\"final\":null,\"sector1\":null,"
            "\"sector2\":null,\"sector3\":null,\"average_speed\":144,\"max_speed\":null,\"fuel\":2.5}");
}

}  // namespace
}  // namespace velmora::cli
