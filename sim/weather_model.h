#pragma once

#include <vector>

#include "sim_state.h"

namespace velmora::sim {

class Random;

// Weather that changes slowly: dry spells and showers one after another, the track getting wet under the
// rain and drying after it (the racing line faster than off it), and temperatures that follow the sun
// and the rain.
class WeatherModel {
 public:
  explicit WeatherModel(Random& random);

  // The weather at the start of the session.
  void Start(WeatherState& weather) const;
  void Advance(WeatherState& weather, double now_s, double dt);

  // How hard it rains at `at_s` by the schedule (the rainfall follows it with a lag).
  double ScheduledRain(double at_s) const;

 private:
  struct Shower {
    double start_s;
    double end_s;
    double intensity;
  };
  void ExtendSchedule(double until_s);

  Random* random_;
  std::vector<Shower> showers_;
  double scheduled_until_s_ = 0.0;
  double base_air_c_;
  double phase_;
};

}  // namespace velmora::sim
