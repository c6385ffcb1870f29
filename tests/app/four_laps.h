#pragma once

#include <QAbstractItemModel>

#include "running_sim.h"

namespace velmora::test {

// The lap grid's columns, as the model holds them (the view hides one set or the other).
enum LapGridColumn {
  kLap = 0,
  kInt1,
  kInt2,
  kFinal,
  kSector1,
  kSector2,
  kSector3,
  kAverage,
  kMaximum,
  kFuel
};

QString CellText(const QAbstractItemModel& grid, int row, int column);

// Drives the out lap and three laps at rising speeds on the stand-in; each step is seen in `grid` before
// the next command moves the car on.
void DriveFourLaps(RunningSim& sim, const QAbstractItemModel& grid);
// The rows those laps give: lap 1 only sets the fuel reference, lap 3 is the best.
void ExpectFourLapRows(const QAbstractItemModel& grid);

}  // namespace velmora::test
