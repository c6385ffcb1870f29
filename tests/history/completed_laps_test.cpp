#include "history/completed_laps.h"

#include <gtest/gtest.h>

namespace velmora::history {
namespace {

TLapRow Row(int lap) {
  TLapRow row;
  row.Lap = lap;
  return row;
}

// The grid's row and the file's lap are the same lap in two sets of units, both ways.
TEST(CompletedLapsTest, GridRowsAndRecordedLapsConvertBothWays) {
  struct Case {
    const char* what;
    bool metric;
    TLapRow row;
    LapRecord lap;
  };
  TLapRow full = Row(2);
  full.Sector1 = "0:30.500";
  full.Sector2 = "1:02.750";
  full.Final = "1:33.500";
  full.BestSector1 = "0:30.500";
  full.BestSector2 = "0:32.250";
  full.BestSector3 = "0:30.750";
  full.AverageSpeed = 158.3;
  full.MaximumSpeed = 199.8;
  full.Fuel = 2.65;
  LapRecord full_lap;
  full_lap.lap = 2;
  full_lap.intermediate1_s = 30.5;
  full_lap.intermediate2_s = 62.75;
  full_lap.lap_time_s = 93.5;
  full_lap.sector1_s = 30.5;
  full_lap.sector2_s = 32.25;
  full_lap.sector3_s = 30.75;
  full_lap.average_speed_m_s = 158.3 / 3.6;
  full_lap.top_speed_m_s = 199.8 / 3.6;
  full_lap.fuel_used_l = 2.65;
  TLapRow imperial = Row(5);
  imperial.AverageSpeed = 100.0;
  LapRecord imperial_lap;
  imperial_lap.lap = 5;
  imperial_lap.average_speed_m_s = 44.704;
  LapRecord empty_lap;
  empty_lap.lap = 7;
  TLapRow no_time = Row(1);
  no_time.Final = "--:--.---";
  const Case cases[] = {
      {"every cell", true, full, full_lap},
      {"miles per hour", false, imperial, imperial_lap},
      {"empty cells stay empty", true, Row(7), empty_lap},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const LapRecord lap = LapRecordOfRow(c.row, c.metric);
    EXPECT_EQ(lap.lap, c.lap.lap);
    for (auto field : {&LapRecord::lap_time_s, &LapRecord::intermediate1_s, &LapRecord::intermediate2_s,
                       &LapRecord::sector1_s, &LapRecord::sector2_s, &LapRecord::sector3_s,
                       &LapRecord::average_speed_m_s, &LapRecord::top_speed_m_s, &LapRecord::fuel_used_l}) {
      ASSERT_EQ((lap.*field).has_value(), (c.lap.*field).has_value());
      if ((lap.*field).has_value()) {
        EXPECT_NEAR(*(lap.*field), *(c.lap.*field), 1e-9);
      }
    }
    EXPECT_EQ(LapRowOfRecord(lap, c.metric), c.row);
  }
  // A cell that holds no time is no time in the file.
  EXPECT_FALSE(LapRecordOfRow(no_time, true).lap_time_s);
}

// Each row comes out once, when the lap counter has moved past it; a new session starts again.
TEST(CompletedLapsTest, EachRowComesOutOnceItsLapIsOver) {
  TLapTable table;
  CompletedLaps completed(table);
  table.FindOrAppend(1);
  EXPECT_TRUE(completed.TakeNew(0, true).empty()) << "lap 1 is under way";
  ASSERT_EQ(completed.TakeNew(1, true).size(), 1U);
  EXPECT_TRUE(completed.TakeNew(1, true).empty()) << "already taken";
  table.FindOrAppend(2);
  table.FindOrAppend(3);
  const auto both = completed.TakeNew(3, true);
  ASSERT_EQ(both.size(), 2U);
  EXPECT_EQ(both[0].lap, 2);
  EXPECT_EQ(both[1].lap, 3);
  table.Clear();
  table.FindOrAppend(1);
  ASSERT_EQ(completed.TakeNew(1, true).size(), 1U) << "the next session's first lap";
}

}  // namespace
}  // namespace velmora::history
