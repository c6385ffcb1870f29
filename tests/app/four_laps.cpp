#include "four_laps.h"

#include <string>

#include <gtest/gtest.h>

#include "window_fixture.h"

namespace velmora::test {

QString CellText(const QAbstractItemModel& grid, int row, int column) {
  return grid.data(grid.index(row, column)).toString();
}

void DriveFourLaps(RunningSim& sim, const QAbstractItemModel& grid) {
  const auto step = [&](const std::string& command, int row, int column) {
    ASSERT_EQ(sim.Ask(command), "ok") << command;
    ASSERT_TRUE(Within(8000, [&] {
      return grid.rowCount() > row && !CellText(grid, row, column).isEmpty() &&
             CellText(grid, row, column) != "--:--.---";
    })) << command;
  };
  const struct Lap {
    const char* speed;
    const char* fuel_at_line;
    const char* int1;
    const char* int2;
    const char* time;
  } laps[] = {{"45", "40", "40", "80", "120"},
              {"50", "37.4", "31", "63.5", "94.5"},
              {"55", "34.9", "30.5", "62", "93.25"},
              {"60", "32.2", "32", "64", "96.5"}};
  for (int row = 0; row < 4; ++row) {
    const Lap& lap = laps[row];
    ASSERT_EQ(sim.Ask(std::string("set FVitesse ") + lap.speed), "ok");
    step(std::string("sector 1 ") + lap.int1, row, kInt1);
    step(std::string("sector 2 ") + lap.int2, row, kInt2);
    ASSERT_EQ(sim.Ask(std::string("set FFuel ") + lap.fuel_at_line), "ok");
    step(std::string("line ") + lap.time, row, kFinal);
  }
  ASSERT_TRUE(Within(8000, [&] { return CellText(grid, 3, kFuel) == "2.70"; }));
}

void ExpectFourLapRows(const QAbstractItemModel& grid) {
  const struct Row {
    const char* lap;
    const char* int1;
    const char* int2;
    const char* final_time;
    const char* average;  // 4112 m over the lap, km/h
    const char* maximum;
    const char* fuel;
  } rows[] = {
      {"1", "0:40.000", "1:20.000", "2:00.000", "123.4", "", ""},
      {"2", "0:31.000", "1:03.500", "1:34.500", "156.6", "180.0", "2.60"},
      {"3", "0:30.500", "1:02.000", "1:33.250", "158.7", "198.0", "2.50"},
      {"4", "0:32.000", "1:04.000", "1:36.500", "153.4", "216.0", "2.70"},
  };
  ASSERT_EQ(grid.rowCount(), 4);
  for (int row = 0; row < 4; ++row) {
    SCOPED_TRACE(row);
    const Row& want = rows[row];
    EXPECT_EQ(CellText(grid, row, kLap), want.lap);
    EXPECT_EQ(CellText(grid, row, kInt1), want.int1);
    EXPECT_EQ(CellText(grid, row, kInt2), want.int2);
    EXPECT_EQ(CellText(grid, row, kFinal), want.final_time);
    EXPECT_EQ(CellText(grid, row, kAverage), want.average);
    EXPECT_EQ(CellText(grid, row, kMaximum), want.maximum);
    EXPECT_EQ(CellText(grid, row, kFuel), want.fuel);
  }
}

}  // namespace velmora::test
