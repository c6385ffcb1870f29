#include "session_model.h"

#include <algorithm>
#include <cmath>
#include <set>

#include <gtest/gtest.h>

namespace velmora::sim {
namespace {

constexpr std::uint64_t kSeed = 7;
constexpr int kDrivers = 20;

// What one long session shows when it is watched tick by tick. The session runs once for all the tests
// that only look at it.
struct Trace {
  SimState at_start;
  SimState after_getting_in;
  double max_rainfall = 0.0;
  double dry_again_at_s = -1.0;  // first moment after a shower with the rain all but gone
  double max_wet_on_path = 0.0;
  bool off_path_wetter_while_drying = false;
  bool headlights_in_rain = false;
  bool headlights_in_dry = false;
  double max_brake_disc_k = 0.0;
  bool rear_spin = false;
  bool front_lock = false;
  bool both_pedals = false;
  std::set<int> gears;
  bool refuelled_in_pit = false;
  bool new_tyres_in_pit = false;
  bool fuel_burned_on_track = true;
  std::vector<int> order_early;
  std::vector<int> order_late;
  SimState at_end;
};

std::vector<int> Order(const SimState& state) {
  std::vector<int> slots(state.drivers.size());
  for (std::size_t slot = 0; slot < slots.size(); ++slot) {
    slots[static_cast<std::size_t>(state.drivers[slot].position - 1)] = static_cast<int>(slot);
  }
  return slots;
}

const Trace& LongSession() {
  static const Trace trace = [] {
    Trace t;
    SessionModel model(kSeed, kDrivers, SessionModel::DefaultPlayerSlot(kSeed, kDrivers));
    t.at_start = model.State();
    double previous_fuel = model.State().player.fuel_l;
    double previous_wear = model.State().player.tyres[kFrontLeft].wear;
    bool rained = false;
    while (model.Time() < 2400.0) {
      model.Step(SessionModel::kTick_s);
      const SimState& s = model.State();
      const PlayerState& p = s.player;
      const DriverState& car = s.Player();
      if (std::abs(model.Time() - 15.0) < 1e-6) {
        t.after_getting_in = s;
      }
      if (std::abs(model.Time() - 200.0) < 1e-6) {
        t.order_early = Order(s);
      }
      t.max_rainfall = std::max<double>(t.max_rainfall, s.weather.rainfall);
      rained = rained || s.weather.rainfall > 0.3F;
      if (rained && t.dry_again_at_s < 0.0 && s.weather.rainfall < 0.02F) {
        t.dry_again_at_s = model.Time();
      }
      t.max_wet_on_path = std::max<double>(t.max_wet_on_path, s.weather.wet_on_path);
      if (t.dry_again_at_s > 0.0 && s.weather.wet_off_path > s.weather.wet_on_path + 0.05F) {
        t.off_path_wetter_while_drying = true;
      }
      for (const DriverState& driver : s.drivers) {
        if (driver.headlights == 1) {
          (s.weather.rainfall >= 0.1F ? t.headlights_in_rain : t.headlights_in_dry) = true;
        }
      }
      for (const TyreState& tyre : p.tyres) {
        t.max_brake_disc_k = std::max(t.max_brake_disc_k, tyre.brake_disc_k);
      }
      if (car.speed_m_s > 5.0F) {
        const auto surface = [&](int wheel) {
          const TyreState& tyre = p.tyres[static_cast<std::size_t>(wheel)];
          return tyre.wheel_speed_rad_s * tyre.radius_m;
        };
        if (p.throttle > 0.0F && surface(kRearLeft) > 1.2 * car.speed_m_s) {
          t.rear_spin = true;
        }
        if (p.brake > 0.0F && surface(kFrontLeft) < 0.8 * car.speed_m_s) {
          t.front_lock = true;
        }
        t.gears.insert(p.gear);
      }
      if (p.throttle > 0.0F && p.brake > 0.0F) {
        t.both_pedals = true;
      }
      if (p.fuel_l > previous_fuel) {
        t.refuelled_in_pit = t.refuelled_in_pit || car.in_pit == 1;
      } else if (car.in_pit == 0 && car.speed_m_s > 5.0F && !(p.fuel_l < previous_fuel)) {
        t.fuel_burned_on_track = false;
      }
      if (p.tyres[kFrontLeft].wear > previous_wear && car.in_pit == 1) {
        t.new_tyres_in_pit = true;
      }
      previous_fuel = p.fuel_l;
      previous_wear = p.tyres[kFrontLeft].wear;
    }
    t.order_late = Order(model.State());
    t.at_end = model.State();
    return t;
  }();
  return trace;
}

TEST(SessionModelTest, SameSeedGivesTheSameSessionHoweverTheTimeIsSplit) {
  SessionModel whole(kSeed, kDrivers, 3);
  SessionModel pieces(kSeed, kDrivers, 3);
  whole.Step(300.0);
  for (int i = 0; i < 1000; ++i) {
    pieces.Step(0.3);
  }
  EXPECT_DOUBLE_EQ(whole.Time(), pieces.Time());
  EXPECT_TRUE(whole.State() == pieces.State());

  SessionModel other(kSeed + 1, kDrivers, 3);
  other.Step(300.0);
  EXPECT_FALSE(whole.State() == other.State());
}

TEST(SessionModelTest, StepsShorterThanATickAddUp) {
  SessionModel model(kSeed, 4, 0);
  model.Step(0.01);
  EXPECT_EQ(model.Time(), 0.0);
  model.Step(0.01);
  EXPECT_NEAR(model.Time(), SessionModel::kTick_s, 1e-12);
  EXPECT_THROW(model.Step(-1.0), std::invalid_argument);
}

TEST(SessionModelTest, RejectsAFieldItCannotHold) {
  EXPECT_THROW(SessionModel(kSeed, 0, 0), std::invalid_argument);
  EXPECT_THROW(SessionModel(kSeed, SessionModel::kMaxDrivers + 1, 0), std::invalid_argument);
  EXPECT_THROW(SessionModel(kSeed, 5, 5), std::invalid_argument);
  EXPECT_NO_THROW(SessionModel(kSeed, SessionModel::kMaxDrivers, SessionModel::kMaxDrivers - 1));
}

TEST(SessionModelTest, PlayerStartsInTheGarageAndGetsIntoTheCar) {
  const Trace& t = LongSession();
  const SimState& start = t.at_start;
  EXPECT_EQ(start.player.in_cockpit, 0);
  EXPECT_EQ(start.player.ignition, 0);
  EXPECT_EQ(start.Player().engine_rpm, 0.0F);
  EXPECT_EQ(start.Player().speed_m_s, 0.0F);
  EXPECT_EQ(start.Player().in_pit, 1);
  EXPECT_EQ(start.session.green_flag_s, 0.0F);
  EXPECT_EQ(start.driver_count, kDrivers);
  EXPECT_EQ(start.player_slot, SessionModel::DefaultPlayerSlot(kSeed, kDrivers));
  for (const DriverState& driver : start.drivers) {
    EXPECT_GT(driver.distance_m, 0.0F) << driver.name;
    EXPECT_FALSE(driver.name.empty());
  }

  const SimState& in_car = t.after_getting_in;
  EXPECT_EQ(in_car.player.in_cockpit, 1);
  EXPECT_EQ(in_car.player.ignition, 1);
  EXPECT_FLOAT_EQ(in_car.session.green_flag_s, SessionModel::kGetIn_s);
  EXPECT_GT(in_car.Player().speed_m_s, 1.0F);
  EXPECT_EQ(in_car.Player().in_pit, 1);
  EXPECT_EQ(in_car.Player().limiter, 1);
  EXPECT_LE(in_car.Player().speed_m_s, 22.3F);
  EXPECT_GT(in_car.Player().engine_rpm, 900.0F);
}

TEST(SessionModelTest, CarsLapWithPlausibleSectorAndLapTimes) {
  const SimState& end = LongSession().at_end;
  for (const DriverState& driver : end.drivers) {
    SCOPED_TRACE(driver.name);
    EXPECT_GE(driver.laps, 20);
    EXPECT_GT(driver.best_lap_s, 80.0F);
    EXPECT_LE(driver.best_lap_s, driver.last_lap_s);
    EXPECT_LT(driver.best_int1_s, driver.best_int2_s);
    EXPECT_LT(driver.best_int2_s, driver.best_lap_s);
    EXPECT_LT(driver.last_lap_s, 130.0F);
    EXPECT_GE(driver.sector, 0);
    EXPECT_LE(driver.sector, 2);
    EXPECT_GE(driver.distance_m, driver.laps * 4112.0F);
    EXPECT_LT(driver.distance_m, (driver.laps + 1) * 4112.0F);
  }
  EXPECT_NEAR(end.session.elapsed_s, 2400.0F, 0.01F);
  EXPECT_EQ(end.session.type, 6);
  EXPECT_EQ(end.session.laps, 30);
}

TEST(SessionModelTest, PositionsFollowTheDistanceAndChange) {
  const Trace& t = LongSession();
  const SimState& end = t.at_end;
  std::set<int> positions;
  for (const DriverState& driver : end.drivers) {
    positions.insert(driver.position);
  }
  EXPECT_EQ(positions.size(), end.drivers.size());
  EXPECT_EQ(*positions.begin(), 1);
  EXPECT_EQ(*positions.rbegin(), kDrivers);
  const std::vector<int> order = Order(end);
  for (std::size_t place = 1; place < order.size(); ++place) {
    EXPECT_GE(end.drivers[static_cast<std::size_t>(order[place - 1])].distance_m,
              end.drivers[static_cast<std::size_t>(order[place])].distance_m);
  }
  EXPECT_NE(t.order_early, t.order_late);
}

TEST(SessionModelTest, FuelBurnsOnTrackAndIsRefilledAtAPitStopWithNewTyres) {
  const Trace& t = LongSession();
  EXPECT_TRUE(t.fuel_burned_on_track);
  EXPECT_TRUE(t.refuelled_in_pit);
  EXPECT_TRUE(t.new_tyres_in_pit);
  EXPECT_GT(t.at_end.player.fuel_l, 0.0);
}

TEST(SessionModelTest, TyresHeatBuildPressureAndWearWithLoad) {
  const Trace& t = LongSession();
  const PlayerState& cold = t.at_start.player;
  const PlayerState& hot = t.at_end.player;
  for (std::size_t wheel = 0; wheel < 4; ++wheel) {
    SCOPED_TRACE(wheel);
    const TyreState& tyre = hot.tyres[wheel];
    EXPECT_GT(tyre.temp_middle_k, cold.tyres[wheel].temp_middle_k + 20.0);
    EXPECT_GT(tyre.temp_middle_k, 320.0);
    EXPECT_LT(tyre.temp_middle_k, 400.0);
    EXPECT_GT(tyre.pressure_kpa, cold.tyres[wheel].pressure_kpa);
    EXPECT_LT(tyre.pressure_kpa, 240.0);
    EXPECT_LT(tyre.wear, 1.0);
    EXPECT_GT(tyre.wear, 0.7);
    EXPECT_GT(tyre.radius_m, 0.3);
  }
  EXPECT_GT(t.max_brake_disc_k, 600.0);
  EXPECT_LT(t.max_brake_disc_k, 1300.0);
  EXPECT_GT(hot.water_k, 340.0);
  EXPECT_LT(hot.water_k, 380.0);
  EXPECT_LT(hot.engine_life, cold.engine_life);
  EXPECT_EQ(hot.engine_life_reference, cold.engine_life_reference);
}

TEST(SessionModelTest, WheelsSpinUnderPowerAndLockUnderBraking) {
  const Trace& t = LongSession();
  EXPECT_TRUE(t.rear_spin);
  EXPECT_TRUE(t.front_lock);
}

TEST(SessionModelTest, PedalsAndGearsFollowTheDriving) {
  const Trace& t = LongSession();
  EXPECT_FALSE(t.both_pedals);
  EXPECT_TRUE(t.gears.count(1) == 1 && t.gears.count(5) == 1) << "gears seen: " << t.gears.size();
  EXPECT_GE(*t.gears.begin(), 1);
  EXPECT_LE(*t.gears.rbegin(), 6);
}

TEST(SessionModelTest, RainComesAndGoesAndTheTrackFollows) {
  const Trace& t = LongSession();
  EXPECT_GT(t.max_rainfall, 0.3);
  EXPECT_GT(t.dry_again_at_s, 0.0);
  EXPECT_GT(t.max_wet_on_path, 0.2);
  EXPECT_TRUE(t.off_path_wetter_while_drying);
  EXPECT_TRUE(t.headlights_in_rain);
  EXPECT_FALSE(t.headlights_in_dry);
  const WeatherState& w = t.at_end.weather;
  EXPECT_GT(w.air_c, 5.0F);
  EXPECT_LT(w.air_c, 35.0F);
  EXPECT_GE(w.forecast, 0.0F);
  EXPECT_LE(w.forecast, 1.0F);
}

TEST(SessionModelTest, CarriesOnFromAValueWrittenIntoItsState) {
  SessionModel model(kSeed, 4, 1);
  model.Step(60.0);
  model.State().player.fuel_l = 30.0;
  model.Step(1.0);
  EXPECT_LT(model.State().player.fuel_l, 30.0);
  EXPECT_GT(model.State().player.fuel_l, 29.5);
}

}  // namespace
}  // namespace velmora::sim
