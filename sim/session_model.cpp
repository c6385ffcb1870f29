#include "session_model.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numeric>
#include <stdexcept>
#include <string>

#include "track.h"

namespace velmora::sim {

namespace {

constexpr std::int32_t kRaceOne = 6;
constexpr float kSessionLength_s = 2700.0F;
constexpr double kGridSpacing_m = 8.0;
constexpr double kWetLapPenalty_s = 9.0;
constexpr double kTankLaps = 8.0;

constexpr std::array<const char*, SessionModel::kMaxDrivers> kNames = {
    "M. Arnaud",   "K. Brenner",   "L. Castell", "D. Okafor",    "S. Lindqvist", "P. Moreau",
    "R. Tanaka",   "J. Ferreira",  "A. Novak",   "E. Halloran",  "T. Vidal",     "N. Petrov",
    "C. Rinaldi",  "H. Sato",      "F. Maes",    "G. Ostrowski", "I. Duarte",    "B. Keller",
    "O. Lindgren", "V. Marchetti", "Y. Kimura",  "W. Dorsey",    "Z. Horvat",    "U. Brandt",
    "Q. Laurent",  "X. Ibarra",    "A. Jansen",  "B. Okoro",     "C. Varga",     "D. Sorensen",
    "E. Colombo",  "F. Nakamura",  "G. Weiss",   "H. Mendes",    "I. Kovac",     "J. Delacroix",
    "K. Haddad",   "L. Strand",    "M. Quiroga", "N. Falk",      "O. Reyes",     "P. Lund",
    "R. Oyelaran", "S. Baptiste",  "T. Ivanova", "U. Moretti",   "V. Eklund",    "W. Achterberg",
    "Y. Torres",   "Z. Bianchi"};

constexpr std::array<const char*, 5> kCars = {"Coupe GT", "Saloon S2", "Roadster R", "Hatch TC",
                                              "Estate Sport"};

}  // namespace

int SessionModel::DefaultPlayerSlot(std::uint64_t seed, int drivers) {
  return static_cast<int>(seed % static_cast<std::uint64_t>(std::max(drivers, 1)));
}

SessionModel::SessionModel(std::uint64_t seed, int drivers, int player_slot)
    : random_(seed), weather_(random_), player_slot_(static_cast<std::size_t>(player_slot)) {
  if (drivers < 1 || drivers > kMaxDrivers || player_slot < 0 || player_slot >= drivers) {
    throw std::invalid_argument("driver count or player slot out of range");
  }
  state_.drivers.resize(static_cast<std::size_t>(drivers));
  state_.driver_count = static_cast<std::int16_t>(drivers);
  state_.player_slot = static_cast<std::uint8_t>(player_slot);
  state_.track_length_m = static_cast<float>(Track::kLength_m);
  state_.session = {kRaceOne, 0.0F, kSessionLength_s, 0.0F, SessionModel::kRaceLaps};
  weather_.Start(state_.weather);

  // The field lines up on the grid in a drawn order; the player starts from the pit lane.
  std::vector<int> grid(static_cast<std::size_t>(drivers));
  std::iota(grid.begin(), grid.end(), 0);
  for (std::size_t i = grid.size(); i > 1; --i) {
    std::swap(grid[i - 1], grid[static_cast<std::size_t>(random_.Integer(0, static_cast<int>(i) - 1))]);
  }
  cars_.reserve(grid.size());
  std::vector<double> start_m(grid.size());
  for (std::size_t place = 0; place < grid.size(); ++place) {
    start_m[static_cast<std::size_t>(grid[place])] =
        5.0 + kGridSpacing_m * static_cast<double>(grid.size() - 1 - place);
  }
  for (int slot = 0; slot < drivers; ++slot) {
    const bool player = slot == player_slot;
    const double pace_s = 87.0 + random_.Between(0.0, 5.0);
    cars_.emplace_back(player ? Track::kPitBox_m : start_m[static_cast<std::size_t>(slot)], pace_s, player);
    pit_laps_.push_back(random_.Integer(4, 9));
    headlight_rain_.push_back(static_cast<float>(random_.Between(0.2, 0.35)));
    DriverState& driver = state_.drivers[static_cast<std::size_t>(slot)];
    driver.name = kNames[static_cast<std::size_t>(slot)];
    driver.car = kCars[static_cast<std::size_t>(random_.Integer(0, static_cast<int>(kCars.size()) - 1))];
    CarMotion& car = cars_.back();
    car.Advance(driver, 0.0, 0.0, 0.0, random_);
  }
  player_model_.Start(state_.player, state_.weather, random_);
  RankField();
}

void SessionModel::Step(double seconds) {
  if (!(seconds >= 0.0)) {
    throw std::invalid_argument("a step cannot go back in time");
  }
  pending_s_ += seconds;
  // A little slack so that 0.1 s is five ticks, not four and a remainder.
  const auto ticks = static_cast<std::int64_t>(std::floor((pending_s_ + 1e-9) / kTick_s));
  pending_s_ = std::max(0.0, pending_s_ - static_cast<double>(ticks) * kTick_s);
  for (std::int64_t i = 0; i < ticks; ++i) {
    Tick();
  }
}

void SessionModel::Tick() {
  const double now_s = Time();
  weather_.Advance(state_.weather, now_s, kTick_s);
  AdvancePlayerStart(now_s);
  for (int slot = 0; slot < static_cast<int>(cars_.size()); ++slot) {
    AdvanceCar(slot, now_s);
  }
  AdvancePitService(now_s);
  const bool engine_running = now_s >= kEngineStart_s;
  player_model_.Advance(state_.player, state_.drivers[player_slot_], cars_[player_slot_], state_.weather,
                        engine_running, kTick_s, random_);
  RankField();
  ++ticks_;
  state_.session.elapsed_s = static_cast<float>(Time() - session_start_s_);
}

void SessionModel::AdvancePlayerStart(double now_s) {
  PlayerState& player = state_.player;
  if (now_s >= kGetIn_s && !green_flag_) {
    // The race starts once the player sits in the car.
    player.in_cockpit = 1;
    green_flag_ = true;
    state_.session.green_flag_s = static_cast<float>(now_s);
    for (int slot = 0; slot < static_cast<int>(cars_.size()); ++slot) {
      if (static_cast<std::size_t>(slot) != player_slot_) {
        cars_[static_cast<std::size_t>(slot)].Release(now_s);
      }
    }
  }
  if (now_s >= kIgnition_s) {
    player.ignition = 1;
  }
  if (now_s >= kLeaveBox_s) {
    cars_[player_slot_].Release(now_s);
  }
}

void SessionModel::AdvanceCar(int slot, double now_s) {
  const auto index = static_cast<std::size_t>(slot);
  CarMotion& car = cars_[index];
  DriverState& driver = state_.drivers[index];
  const bool player = index == player_slot_;
  const double slower_s = kWetLapPenalty_s * state_.weather.wet_on_path;
  if (car.Advance(driver, now_s, kTick_s, slower_s, random_)) {
    if (player) {
      player_model_.LapCompleted(state_.player);
      const double per_lap_l = player_model_.FuelPerLap();
      if (!car.PitStopPlanned() && state_.player.fuel_l < 2.2 * per_lap_l) {
        fuel_target_l_ = per_lap_l * kTankLaps + 1.0;
        car.PlanPitStop(PlayerModel::StopTime(state_.player, fuel_target_l_));
        serviced_ = false;
      }
    } else if (driver.laps == pit_laps_[index] - 1) {
      car.PlanPitStop(random_.Between(7.0, 12.0));
    }
  }
  const bool engine_on = player ? now_s >= kEngineStart_s : green_flag_;
  if (!engine_on) {
    driver.engine_rpm = 0.0F;
  } else {
    driver.engine_rpm =
        EngineSpeed(driver.speed_m_s, car.StoppedAtBox() ? 0 : GearForSpeed(driver.speed_m_s));
  }
  const float rain = state_.weather.rainfall;
  if (rain > headlight_rain_[index]) {
    driver.headlights = 1;
  } else if (rain < headlight_rain_[index] - 0.1F) {
    driver.headlights = 0;
  }
}

void SessionModel::AdvancePitService(double /*now_s*/) {
  CarMotion& car = cars_[player_slot_];
  if (!car.StoppedAtBox() || fuel_target_l_ <= 0.0) {
    return;
  }
  if (!serviced_) {
    // The crew knows the fuel left only once the car stands in front of them.
    serviced_ = true;
    PlayerModel::FitNewTyres(state_.player);
    car.SetStopTime(PlayerModel::StopTime(state_.player, fuel_target_l_));
  }
  PlayerModel::Refuel(state_.player, fuel_target_l_, kTick_s);
}

void SessionModel::RankField() {
  std::vector<int> order(state_.drivers.size());
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(), [this](int a, int b) {
    return state_.drivers[static_cast<std::size_t>(a)].distance_m >
           state_.drivers[static_cast<std::size_t>(b)].distance_m;
  });
  for (std::size_t place = 0; place < order.size(); ++place) {
    state_.drivers[static_cast<std::size_t>(order[place])].position = static_cast<std::int16_t>(place + 1);
  }
}

}  // namespace velmora::sim
