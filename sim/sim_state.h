#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace velmora::sim {

// Everything the simulator publishes, in the units and datum types it keeps in memory. The session model
// evolves it; the memory writer lays it out at the addresses of the chosen table.

// One wheel of the player's car.
struct TyreState {
  double wheel_speed_rad_s = 0.0;
  double radius_m = 0.0;
  double temp_outer_k = 0.0;
  double temp_middle_k = 0.0;
  double temp_inner_k = 0.0;
  double pressure_kpa = 0.0;
  double brake_disc_k = 0.0;
  double wear = 1.0;  // tread left, 1.0 new

  bool operator==(const TyreState&) const = default;
};

enum Wheel { kFrontLeft = 0, kFrontRight = 1, kRearLeft = 2, kRearRight = 3 };

// One driver record: the player's car is one of them (its slot is `SimState::player_slot`).
struct DriverState {
  std::string name;
  std::string car;
  std::int16_t position = 0;  // 1-based
  std::int16_t laps = 0;      // completed laps
  std::int16_t sector = 0;    // 0, 1, 2; 0 is the first sector of a lap
  float distance_m = 0.0F;    // metres driven since the start line of the first lap
  float last_lap_s = -1.0F;
  float last_int1_s = -1.0F;  // from the line to the end of sector 1
  float last_int2_s = -1.0F;  // from the line to the end of sector 2
  float best_lap_s = -1.0F;
  float best_int1_s = -1.0F;
  float best_int2_s = -1.0F;
  std::uint8_t headlights = 0;
  std::uint8_t limiter = 0;
  std::uint8_t in_pit = 0;  // in the pit lane
  std::uint8_t pit_in = 0;  // pit request lamp
  float speed_m_s = 0.0F;
  float engine_rpm = 0.0F;

  bool operator==(const DriverState&) const = default;
};

// The player's own telemetry, kept once (not per driver).
struct PlayerState {
  std::uint8_t in_cockpit = 0;
  std::uint8_t ignition = 0;
  std::array<TyreState, 4> tyres{};
  std::int16_t traction_control = 0;  // aid level 0..2
  std::int16_t abs = 0;               // aid level 0..2
  std::uint8_t stability = 0;         // 0 off, 1 on
  std::uint8_t auto_clutch = 0;       // 0 off, 1 on
  double water_k = 0.0;
  double oil_k = 0.0;
  double fuel_l = 0.0;
  std::int16_t gear = 0;  // -1 reverse, 0 neutral
  float throttle = 0.0F;
  float brake = 0.0F;
  float clutch = 0.0F;
  double engine_life = 0.0;
  double engine_life_reference = 0.0;  // the life of a new engine

  bool operator==(const PlayerState&) const = default;
};

struct SessionState {
  std::int32_t type = 0;
  float elapsed_s = 0.0F;     // session clock
  float length_s = 0.0F;      // length of the session
  float green_flag_s = 0.0F;  // session clock when the green flag fell, 0 before
  std::int16_t laps = 0;      // laps of a race, negative for a race on time

  bool operator==(const SessionState&) const = default;
};

struct WeatherState {
  float forecast = 0.0F;  // 0 clear .. 1 rain
  float rainfall = 0.0F;  // 0..1
  float wet_on_path = 0.0F;
  float wet_off_path = 0.0F;
  float air_c = 0.0F;
  float track_c = 0.0F;

  bool operator==(const WeatherState&) const = default;
};

struct SimState {
  PlayerState player;
  std::vector<DriverState> drivers;
  std::uint8_t player_slot = 0;
  std::int16_t driver_count = 0;
  float track_length_m = 0.0F;
  SessionState session;
  WeatherState weather;

  DriverState& Player() { return drivers[player_slot]; }
  const DriverState& Player() const { return drivers[player_slot]; }

  bool operator==(const SimState&) const = default;
};

}  // namespace velmora::sim
