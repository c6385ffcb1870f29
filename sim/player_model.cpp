#include "player_model.h"

#include <algorithm>
#include <cmath>

#include "car_motion.h"
#include "random.h"
#include "track.h"

namespace velmora::sim {

namespace {

constexpr double kZeroCelsius_k = 273.15;
constexpr double kColdPressureReference_k = 293.15;
constexpr double kRefuelRate_l_s = 2.5;
constexpr double kTyreChange_s = 6.0;
constexpr double kWarmerTemperature_k = 333.15;
constexpr double kRedline_rpm = 8500.0;
constexpr double kBrakingFrom_m_s2 = -0.8;
constexpr double kTractionFrom_m_s2 = 1.0;
constexpr double kSpinFor_s = 1.2;
constexpr double kSlip = 0.35;

double Follow(double value, double target, double lag_s, double dt) {
  return value + (target - value) * (1.0 - std::exp(-dt / lag_s));
}

bool IsLeft(int wheel) {
  return wheel == kFrontLeft || wheel == kRearLeft;
}
bool IsFront(int wheel) {
  return wheel == kFrontLeft || wheel == kFrontRight;
}

// Tyres are filled cold; the pressure then follows the mean tread temperature.
double PressureAt(const TyreState& tyre, double cold_kpa) {
  const double mean_k = (tyre.temp_outer_k + tyre.temp_middle_k + tyre.temp_inner_k) / 3.0;
  return cold_kpa * mean_k / kColdPressureReference_k;
}

constexpr double kColdPressure_kpa = 171.0;

}  // namespace

void PlayerModel::Start(PlayerState& player, const WeatherState& weather, Random& random) {
  const double ambient_k = weather.air_c + kZeroCelsius_k;
  for (int wheel = 0; wheel < 4; ++wheel) {
    TyreState& tyre = player.tyres[static_cast<std::size_t>(wheel)];
    tyre.radius_m = IsFront(wheel) ? 0.318 : 0.330;
    tyre.temp_outer_k = ambient_k + 1.0;
    tyre.temp_middle_k = ambient_k + 1.5;
    tyre.temp_inner_k = ambient_k + 2.0;
    tyre.pressure_kpa = PressureAt(tyre, kColdPressure_kpa);
    tyre.brake_disc_k = ambient_k;
    tyre.wear = 1.0;
    tyre.wheel_speed_rad_s = 0.0;
  }
  player.traction_control = static_cast<std::int16_t>(random.Integer(0, 2));
  player.abs = static_cast<std::int16_t>(random.Integer(0, 2));
  player.stability = static_cast<std::uint8_t>(random.Integer(0, 1));
  player.auto_clutch = static_cast<std::uint8_t>(random.Integer(0, 1));
  player.water_k = ambient_k + 35.0;  // warmed up by the mechanics
  player.oil_k = ambient_k + 37.0;
  player.fuel_l = random.Between(9.0, 12.0);
  player.gear = 0;
  player.throttle = player.brake = player.clutch = 0.0F;
  player.engine_life_reference = 10000.0;
  player.engine_life = player.engine_life_reference * random.Between(0.90, 0.99);
  fuel_at_line_l_ = player.fuel_l;
}

void PlayerModel::Advance(PlayerState& player, const DriverState& car, const CarMotion& motion,
                          const WeatherState& weather, bool engine_running, double dt, Random& random) {
  const double speed_m_s = car.speed_m_s;
  if (engine_running) {
    AdvancePedals(player, motion, speed_m_s, dt);
  } else {
    player.gear = 0;
    player.throttle = player.brake = player.clutch = 0.0F;
  }
  AdvanceWheels(player, motion, weather, speed_m_s, dt, random);
  AdvanceEngine(player, car, weather, engine_running, dt);
}

void PlayerModel::AdvancePedals(PlayerState& player, const CarMotion& motion, double speed_m_s, double dt) {
  const double acceleration = motion.Acceleration();
  const bool standing = speed_m_s < 0.05;
  double throttle = 0.0;
  double brake = 0.0;
  if (standing) {
    brake = motion.StoppedAtBox() ? 0.3 : 0.0;
  } else if (acceleration < kBrakingFrom_m_s2) {
    brake = std::clamp(0.25 + -acceleration / 5.0, 0.0, 1.0);
  } else if (motion.InPitLane() && acceleration < 0.3) {
    throttle = 0.3;  // on the limiter
  } else {
    throttle = std::clamp(0.8 + acceleration / 10.0, 0.0, 1.0);
  }
  const std::int16_t gear = standing ? 0 : GearForSpeed(speed_m_s);
  if (gear != player.gear) {
    gear_change_s_ = 0.0;
    player.gear = gear;
  }
  gear_change_s_ += dt;
  double clutch = gear_change_s_ < 0.15 ? 1.0 : 0.0;
  if (!standing && speed_m_s < 4.0 && acceleration > 0.0) {
    clutch = std::max(clutch, 1.0 - speed_m_s / 4.0);  // pulling away
  }
  player.throttle = static_cast<float>(throttle);
  player.brake = static_cast<float>(brake);
  player.clutch = static_cast<float>(clutch);
}

void PlayerModel::AdvanceWheels(PlayerState& player, const CarMotion& motion, const WeatherState& weather,
                                double speed_m_s, double dt, Random& random) {
  const double acceleration = motion.Acceleration();
  const double wet = weather.wet_on_path;

  // Each braking zone and each corner exit decides once whether the wheels lose their grip; a wet track
  // makes it likelier.
  const bool braking = acceleration < kBrakingFrom_m_s2;
  if (braking && !braking_zone_) {
    locking_ = random.Unit() < 0.25 + 0.5 * wet;
  }
  braking_zone_ = braking;
  const bool driving = acceleration > kTractionFrom_m_s2;
  if (driving && !traction_zone_) {
    spinning_ = random.Unit() < 0.25 + 0.5 * wet;
    traction_zone_s_ = 0.0;
  }
  traction_zone_ = driving;
  traction_zone_s_ += dt;

  const double cornering = Track::Cornering(motion.LapPosition());
  const double ambient_k = weather.track_c + kZeroCelsius_k;
  const double moving = std::clamp(speed_m_s / 50.0, 0.0, 1.5);
  for (int wheel = 0; wheel < 4; ++wheel) {
    TyreState& tyre = player.tyres[static_cast<std::size_t>(wheel)];
    double slip = IsFront(wheel) ? 0.0 : 0.02 * player.throttle;
    if (IsFront(wheel) && locking_ && braking && player.brake > 0.6F) {
      slip = -kSlip;
    }
    if (!IsFront(wheel) && spinning_ && driving && traction_zone_s_ < kSpinFor_s) {
      slip = kSlip;
    }
    tyre.wheel_speed_rad_s = speed_m_s / tyre.radius_m * (1.0 + slip);

    // In a right-hander the left wheels run on the outside and carry the load.
    const bool outside = (cornering > 0.0) == IsLeft(wheel);
    const double lateral =
        std::abs(cornering) * (speed_m_s / 40.0) * (speed_m_s / 40.0) * (outside ? 1.0 : 0.3);
    const double longitudinal = IsFront(wheel)
                                    ? player.brake * 0.6
                                    : player.brake * 0.2 + player.throttle * 0.3 * (acceleration > 0.0);
    const double load = 0.35 * moving + lateral + longitudinal * moving + 2.0 * std::abs(slip) * moving;

    if (speed_m_s > 0.5) {
      const double target_k = ambient_k + 25.0 + 55.0 * load - 25.0 * wet;
      const double shoulder_k = outside ? 8.0 * lateral : -3.0;
      tyre.temp_inner_k = Follow(tyre.temp_inner_k, target_k + 6.0, 25.0, dt);
      tyre.temp_middle_k = Follow(tyre.temp_middle_k, target_k + 2.0, 25.0, dt);
      tyre.temp_outer_k = Follow(tyre.temp_outer_k, target_k + shoulder_k, 25.0, dt);
      tyre.wear -= (0.00002 + 0.00012 * load + 0.002 * std::abs(slip)) * moving * dt;
    } else {
      tyre.temp_inner_k = Follow(tyre.temp_inner_k, ambient_k, 150.0, dt);
      tyre.temp_middle_k = Follow(tyre.temp_middle_k, ambient_k, 150.0, dt);
      tyre.temp_outer_k = Follow(tyre.temp_outer_k, ambient_k, 150.0, dt);
    }
    tyre.pressure_kpa = PressureAt(tyre, kColdPressure_kpa);

    const double heating = player.brake * speed_m_s * (IsFront(wheel) ? 0.9 : 0.55);
    const double cooling = (tyre.brake_disc_k - ambient_k) * 0.04 * (0.3 + moving);
    tyre.brake_disc_k += (heating - cooling) * dt;
  }
}

void PlayerModel::AdvanceEngine(PlayerState& player, const DriverState& car, const WeatherState& weather,
                                bool engine_running, double dt) {
  const double ambient_k = weather.air_c + kZeroCelsius_k;
  const double revs = car.engine_rpm / kRedline_rpm;
  if (engine_running) {
    const double water_target = 362.0 + 12.0 * revs * player.throttle - 6.0 * (car.speed_m_s / 60.0) -
                                4.0 * weather.rainfall + 0.3 * (weather.air_c - 20.0);
    player.water_k = Follow(player.water_k, water_target, 60.0, dt);
    player.oil_k = Follow(player.oil_k, water_target + 3.0, 120.0, dt);
    player.fuel_l = std::max(0.0, player.fuel_l - (0.004 + 0.045 * player.throttle * revs) * dt);
    player.engine_life = std::max(0.0, player.engine_life - revs * revs * revs * revs * 0.5 * dt);
  } else {
    player.water_k = Follow(player.water_k, ambient_k, 600.0, dt);
    player.oil_k = Follow(player.oil_k, ambient_k, 900.0, dt);
  }
}

void PlayerModel::LapCompleted(const PlayerState& player) {
  // A lap with a refuel in it says nothing about the consumption.
  if (player.fuel_l < fuel_at_line_l_) {
    fuel_per_lap_l_ = fuel_at_line_l_ - player.fuel_l;
  }
  fuel_at_line_l_ = player.fuel_l;
}

void PlayerModel::Refuel(PlayerState& player, double fuel_target_l, double dt) {
  player.fuel_l = std::min(fuel_target_l, player.fuel_l + kRefuelRate_l_s * dt);
}

void PlayerModel::FitNewTyres(PlayerState& player) {
  for (TyreState& tyre : player.tyres) {
    tyre.wear = 1.0;
    tyre.temp_outer_k = tyre.temp_middle_k = tyre.temp_inner_k = kWarmerTemperature_k;
    tyre.pressure_kpa = PressureAt(tyre, kColdPressure_kpa);
  }
}

double PlayerModel::StopTime(const PlayerState& player, double fuel_target_l) {
  return std::max(kTyreChange_s, (fuel_target_l - player.fuel_l) / kRefuelRate_l_s + 1.0);
}

}  // namespace velmora::sim
