#pragma once

#include "sim_state.h"

namespace velmora::sim {

class Random;

// How one car moves around the track: its place on the lap, its pace, its way through the pit lane and
// the timing of its laps and sectors. The player's car and the field's cars move alike.
class CarMotion {
 public:
  // A car at `lap_position_m` that laps in about `pace_s`; `in_pit_lane` for a car that starts in its
  // pit box.
  CarMotion(double lap_position_m, double pace_s, bool in_pit_lane);

  // A held car (on the grid, in the garage) does not move; a released one starts its first lap now.
  void Hold() { held_ = true; }
  void Release(double now_s);
  // The car turns into the pit lane when it next passes the entry and stops at its box for `stop_s`.
  void PlanPitStop(double stop_s);
  // Changes the time the car stands at its box, also while it stands there.
  void SetStopTime(double stop_s) { stop_s_ = stop_s; }

  bool PitStopPlanned() const { return pit_planned_; }
  bool InPitLane() const { return in_pit_lane_; }
  bool StoppedAtBox() const { return stopped_; }
  double StoppedFor() const { return stopped_for_s_; }
  double LapPosition() const { return position_m_; }
  double Acceleration() const { return acceleration_m_s2_; }

  // Moves the car on by `dt` seconds from `now_s`, writing speed, distance, sector, lap, times and
  // pit flags into `driver`. `slower_s` is added to the pace of a lap that starts now (a wet track).
  // Returns true when the car crossed the line.
  bool Advance(DriverState& driver, double now_s, double dt, double slower_s, Random& random);

  // Puts the car at the end of sector 1 or 2 now, `intermediate_s` into its lap, out on the track.
  void EndSectorNow(DriverState& driver, int sector, double intermediate_s, double now_s);
  // Puts the car on the line now, ending a lap of `lap_s`.
  void CrossLineNow(DriverState& driver, double lap_s, double now_s, Random& random);
  // A new session: no laps and no times; the car stays where it is and starts its count afresh.
  void RestartLaps(DriverState& driver, double now_s);

 private:
  double TargetSpeed() const;
  void CrossLine(DriverState& driver, double at_s, double slower_s, Random& random);

  double position_m_;
  double pace_s_;
  double lap_target_s_;
  double lap_start_s_ = 0.0;
  double speed_m_s_ = 0.0;
  double acceleration_m_s2_ = 0.0;
  int completed_laps_ = 0;
  bool held_ = true;
  bool started_ = false;
  bool in_pit_lane_;
  bool pit_planned_ = false;
  bool stopped_ = false;
  double stop_s_ = 0.0;
  double stopped_for_s_ = 0.0;
};

// The gear the simulated gearbox holds at a speed, and the engine speed that follows from it.
std::int16_t GearForSpeed(double speed_m_s);
float EngineSpeed(double speed_m_s, std::int16_t gear);

}  // namespace velmora::sim
