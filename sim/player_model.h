#pragma once

#include "sim_state.h"

namespace velmora::sim {

class CarMotion;
class Random;

// The player's car seen from its cockpit: pedals and gears from how the car moves, fuel burning with the
// throttle, tyres that heat, build pressure and wear with their load, wheels that spin under power and
// lock under braking, brakes, engine temperatures and engine wear.
class PlayerModel {
 public:
  // A cold car in its garage, with a part-used engine, its fuel load and the driver aids it is set up
  // with.
  void Start(PlayerState& player, const WeatherState& weather, Random& random);

  // `engine_running` once the driver has started it; `motion` is the player's car.
  void Advance(PlayerState& player, const DriverState& car, const CarMotion& motion,
               const WeatherState& weather, bool engine_running, double dt, Random& random);

  // At the pit box: fuel pours in at a fixed rate, up to `fuel_target_l`.
  static void Refuel(PlayerState& player, double fuel_target_l, double dt);
  // A new set of tyres, at the temperature of their warmers.
  static void FitNewTyres(PlayerState& player);
  // Seconds a stop takes to put `fuel_target_l` litres in the tank and change the tyres.
  static double StopTime(const PlayerState& player, double fuel_target_l);

  // Litres the car burned on its last complete lap (an estimate before the first).
  double FuelPerLap() const { return fuel_per_lap_l_; }
  void LapCompleted(const PlayerState& player);

 private:
  void AdvancePedals(PlayerState& player, const CarMotion& motion, double speed_m_s, double dt);
  void AdvanceWheels(PlayerState& player, const CarMotion& motion, const WeatherState& weather,
                     double speed_m_s, double dt, Random& random);
  void AdvanceEngine(PlayerState& player, const DriverState& car, const WeatherState& weather,
                     bool engine_running, double dt);

  double fuel_per_lap_l_ = 2.7;
  double fuel_at_line_l_ = 0.0;
  double gear_change_s_ = 1.0;
  bool braking_zone_ = false;
  bool traction_zone_ = false;
  bool locking_ = false;
  bool spinning_ = false;
  double traction_zone_s_ = 0.0;
};

}  // namespace velmora::sim
