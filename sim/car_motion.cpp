#include "car_motion.h"

#include <algorithm>
#include <cmath>

#include "random.h"
#include "track.h"

namespace velmora::sim {

namespace {

constexpr double kMaxAcceleration_m_s2 = 5.0;
constexpr double kPitBraking_m_s2 = 4.0;
constexpr double kLapNoise_s = 0.6;
constexpr double kGearSpan_m_s = 11.5;
constexpr std::int16_t kTopGear = 6;
constexpr float kIdleRpm = 950.0F;

// Whether going from `from_m` on by `by_m` passes `mark_m`, on a lap of the track's length.
bool Passes(double from_m, double by_m, double mark_m) {
  double to_m = from_m + by_m;
  if (from_m < mark_m && to_m >= mark_m) {
    return true;
  }
  // The mark may lie beyond the line.
  return to_m >= Track::kLength_m && to_m - Track::kLength_m >= mark_m && from_m - Track::kLength_m < mark_m;
}

}  // namespace

CarMotion::CarMotion(double lap_position_m, double pace_s, bool in_pit_lane)
    : position_m_(lap_position_m), pace_s_(pace_s), lap_target_s_(pace_s), in_pit_lane_(in_pit_lane) {}

void CarMotion::Release(double now_s) {
  held_ = false;
  if (!started_) {
    started_ = true;
    lap_start_s_ = now_s;
  }
}

void CarMotion::PlanPitStop(double stop_s) {
  pit_planned_ = true;
  stop_s_ = stop_s;
}

double CarMotion::TargetSpeed() const {
  double speed = Track::MeanSpeedFor(lap_target_s_) * Track::SpeedShape(position_m_);
  if (in_pit_lane_) {
    speed = std::min(speed, Track::kPitSpeed_m_s);
    if (pit_planned_) {
      double to_box_m = Track::kPitBox_m - position_m_;
      if (to_box_m < 0.0) {
        to_box_m += Track::kLength_m;
      }
      // Brake evenly into the box; a small floor keeps the car creeping onto its mark.
      speed = std::min(speed, std::max(0.5, std::sqrt(2.0 * kPitBraking_m_s2 * to_box_m)));
    }
  }
  return speed;
}

bool CarMotion::Advance(DriverState& driver, double now_s, double dt, double slower_s, Random& random) {
  const double previous_speed = speed_m_s_;
  bool crossed_line = false;
  if (held_) {
    speed_m_s_ = 0.0;
  } else if (stopped_) {
    speed_m_s_ = 0.0;
    stopped_for_s_ += dt;
    if (stopped_for_s_ >= stop_s_) {
      stopped_ = false;
      pit_planned_ = false;
    }
  } else {
    speed_m_s_ = std::min(TargetSpeed(), previous_speed + kMaxAcceleration_m_s2 * dt);
    const double step_m = speed_m_s_ * dt;
    const double from_m = position_m_;
    auto at = [&](double mark_m) {
      double ahead_m = mark_m - from_m;
      if (ahead_m < 0.0) {
        ahead_m += Track::kLength_m;
      }
      return now_s + ahead_m / speed_m_s_;
    };
    if (Passes(from_m, step_m, Track::kSector1End_m)) {
      driver.last_int1_s = static_cast<float>(at(Track::kSector1End_m) - lap_start_s_);
      driver.sector = 1;
    }
    if (Passes(from_m, step_m, Track::kSector2End_m)) {
      driver.last_int2_s = static_cast<float>(at(Track::kSector2End_m) - lap_start_s_);
      driver.sector = 2;
    }
    if (!in_pit_lane_ && pit_planned_ && Passes(from_m, step_m, Track::kPitEntry_m)) {
      in_pit_lane_ = true;
    }
    position_m_ += step_m;
    if (position_m_ >= Track::kLength_m) {
      position_m_ -= Track::kLength_m;
      CrossLine(driver, at(Track::kLength_m), slower_s, random);
      crossed_line = true;
    }
    if (in_pit_lane_ && pit_planned_ && Passes(from_m, step_m, Track::kPitBox_m)) {
      position_m_ = Track::kPitBox_m;
      speed_m_s_ = 0.0;
      stopped_ = true;
      stopped_for_s_ = 0.0;
    } else if (in_pit_lane_ && !pit_planned_ && Passes(from_m, step_m, Track::kPitExit_m)) {
      in_pit_lane_ = false;
    }
  }
  acceleration_m_s2_ = dt > 0.0 ? (speed_m_s_ - previous_speed) / dt : 0.0;
  driver.speed_m_s = static_cast<float>(speed_m_s_);
  driver.distance_m = static_cast<float>(completed_laps_ * Track::kLength_m + position_m_);
  driver.in_pit = in_pit_lane_ ? 1 : 0;
  driver.limiter = in_pit_lane_ ? 1 : 0;
  driver.pit_in = pit_planned_ && !in_pit_lane_ ? 1 : 0;
  return crossed_line;
}

void CarMotion::CrossLine(DriverState& driver, double at_s, double slower_s, Random& random) {
  const auto lap_s = static_cast<float>(at_s - lap_start_s_);
  driver.last_lap_s = lap_s;
  if (driver.best_lap_s <= 0.0F || lap_s < driver.best_lap_s) {
    driver.best_lap_s = lap_s;
    driver.best_int1_s = driver.last_int1_s;
    driver.best_int2_s = driver.last_int2_s;
  }
  ++completed_laps_;
  driver.laps = static_cast<std::int16_t>(completed_laps_);
  driver.sector = 0;
  lap_start_s_ = at_s;
  lap_target_s_ = pace_s_ + slower_s + random.Between(-kLapNoise_s, kLapNoise_s);
}

void CarMotion::EndSectorNow(DriverState& driver, int sector, double intermediate_s, double now_s) {
  position_m_ = sector == 1 ? Track::kSector1End_m : Track::kSector2End_m;
  lap_start_s_ = now_s - intermediate_s;
  (sector == 1 ? driver.last_int1_s : driver.last_int2_s) = static_cast<float>(intermediate_s);
  driver.sector = static_cast<std::int16_t>(sector);
  // The pit lane runs beside the line only: the end of a sector is out on the track.
  in_pit_lane_ = false;
  driver.in_pit = 0;
  driver.limiter = 0;
  driver.distance_m = static_cast<float>(completed_laps_ * Track::kLength_m + position_m_);
}

void CarMotion::CrossLineNow(DriverState& driver, double lap_s, double now_s, Random& random) {
  position_m_ = 0.0;
  lap_start_s_ = now_s - lap_s;
  CrossLine(driver, now_s, 0.0, random);
  driver.distance_m = static_cast<float>(completed_laps_ * Track::kLength_m);
}

void CarMotion::RestartLaps(DriverState& driver, double now_s) {
  completed_laps_ = 0;
  lap_start_s_ = now_s;
  driver.laps = 0;
  driver.sector = 0;
  driver.last_lap_s = driver.last_int1_s = driver.last_int2_s = -1.0F;
  driver.best_lap_s = driver.best_int1_s = driver.best_int2_s = -1.0F;
  driver.distance_m = static_cast<float>(position_m_);
}

std::int16_t GearForSpeed(double speed_m_s) {
  const auto gear = static_cast<std::int16_t>(1 + static_cast<int>(speed_m_s / kGearSpan_m_s));
  return std::min(gear, kTopGear);
}

float EngineSpeed(double speed_m_s, std::int16_t gear) {
  if (gear <= 0 || speed_m_s < 1.0) {
    return kIdleRpm;
  }
  const double band_start = kGearSpan_m_s * (gear - 1);
  const double in_band = std::clamp((speed_m_s - band_start) / kGearSpan_m_s, 0.0, 1.0);
  return static_cast<float>(4200.0 + 4300.0 * in_band);
}

}  // namespace velmora::sim
