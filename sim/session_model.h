#pragma once

#include <cstdint>
#include <vector>

#include "car_motion.h"
#include "player_model.h"
#include "random.h"
#include "sim_state.h"
#include "weather_model.h"

namespace velmora::sim {

// A race session that plays out the same way for the same seed: the player starts in the garage, gets
// into the car, the green flag falls and the field sets off from the grid while the player leaves the
// pit lane; cars lap with sector and lap times, stop in the pits, overtake; the weather changes.
//
// The model moves in fixed ticks whatever the steps it is given, so the state after a number of seconds
// does not depend on how they were split.
class SessionModel {
 public:
  static constexpr double kTick_s = 0.02;
  static constexpr int kMaxDrivers = 50;

  static constexpr std::int16_t kRaceLaps = 30;

  // Moments of the player's start, in session seconds.
  static constexpr double kGetIn_s = 6.0;
  static constexpr double kIgnition_s = 7.0;
  static constexpr double kEngineStart_s = 8.0;
  static constexpr double kLeaveBox_s = 10.0;

  // `drivers` from 1 to kMaxDrivers; the player drives the car of `player_slot`.
  SessionModel(std::uint64_t seed, int drivers, int player_slot);

  // The slot a seed gives the player when nothing else decides it.
  static int DefaultPlayerSlot(std::uint64_t seed, int drivers);

  // Moves the session on by `seconds` (not negative).
  void Step(double seconds);
  double Time() const { return static_cast<double>(ticks_) * kTick_s; }

  // Commands that put the race at an exact point, whatever the model was doing: the player's car ends
  // sector 1 or 2 now with the given intermediate time, or crosses the line now with the given lap time;
  // or a new session starts, its clock at 0 and every car without laps or times.
  void PlayerEndsSector(int sector, double intermediate_s);
  void PlayerCrossesLine(double lap_s);
  void RestartSession(std::int32_t type, double length_s, std::int16_t laps);

  const SimState& State() const { return state_; }
  // Written by the command line; the model carries on from what it finds. The player's slot and the
  // number of drivers in it are only published: the model keeps driving the car it started with.
  SimState& State() { return state_; }

 private:
  void Tick();
  void AdvancePlayerStart(double now_s);
  void AdvanceCar(int slot, double now_s);
  void AdvancePitService(double now_s);
  void RankField();

  Random random_;
  WeatherModel weather_;
  PlayerModel player_model_;
  SimState state_;
  std::vector<CarMotion> cars_;
  std::vector<int> pit_laps_;
  std::vector<float> headlight_rain_;
  // The car the player drives; the published slot is data that the command line may change.
  std::size_t player_slot_;
  std::int64_t ticks_ = 0;
  double session_start_s_ = 0.0;
  double pending_s_ = 0.0;
  bool green_flag_ = false;
  double fuel_target_l_ = 0.0;
  bool serviced_ = false;
};

}  // namespace velmora::sim
