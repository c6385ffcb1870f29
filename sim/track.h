#pragma once

namespace velmora::sim {

// The one circuit the stand-in drives: a fixed length, three sectors of equal length, three corners
// (right, left, right) between long straights, and a pit lane that runs past the start line.
struct Track {
  static constexpr double kLength_m = 4112.0;
  static constexpr double kSector1End_m = kLength_m / 3.0;
  static constexpr double kSector2End_m = 2.0 * kLength_m / 3.0;
  static constexpr double kPitEntry_m = kLength_m - 260.0;  // on the lap before the line
  static constexpr double kPitBox_m = 70.0;                 // after the line
  static constexpr double kPitExit_m = 320.0;
  static constexpr double kPitSpeed_m_s = 22.2;  // 80 km/h

  // Speed at `position_m` relative to the lap's mean speed: fast on the straights, slow in the corners.
  static double SpeedShape(double position_m);
  // Mean speed that makes a lap at the speed shape last `lap_s`.
  static double MeanSpeedFor(double lap_s);
  // Sideways load at `position_m`, 0 on the straights up to 1 at a corner's apex; positive in a
  // right-hander, where the left wheels are on the outside.
  static double Cornering(double position_m);
  // Whether `position_m` lies in the part of the lap that the pit lane runs beside.
  static bool BesidePitLane(double position_m);
};

}  // namespace velmora::sim
