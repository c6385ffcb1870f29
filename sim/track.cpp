#include "track.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace velmora::sim {

namespace {

constexpr double kShapeAmplitude = 0.32;
constexpr int kCorners = 3;

double CornerPhase(double position_m) {
  return 2.0 * std::numbers::pi * kCorners * position_m / Track::kLength_m;
}

}  // namespace

double Track::SpeedShape(double position_m) {
  return 1.0 + kShapeAmplitude * std::cos(CornerPhase(position_m));
}

double Track::MeanSpeedFor(double lap_s) {
  // The time of a lap at speed m(1 + a cos) is (L / m) / sqrt(1 - a^2).
  return kLength_m / (lap_s * std::sqrt(1.0 - kShapeAmplitude * kShapeAmplitude));
}

double Track::Cornering(double position_m) {
  const double apex = std::max(0.0, -std::cos(CornerPhase(position_m)));
  // The second corner (the middle third of the lap) turns left.
  const bool left = position_m >= kSector1End_m && position_m < kSector2End_m;
  return (left ? -1.0 : 1.0) * apex * apex;
}

bool Track::BesidePitLane(double position_m) {
  return position_m >= kPitEntry_m || position_m < kPitExit_m;
}

}  // namespace velmora::sim
