#include "weather_model.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "random.h"

namespace velmora::sim {

namespace {

constexpr double kRainLag_s = 45.0;
constexpr double kForecastAhead_s = 300.0;
constexpr double kForecastLag_s = 60.0;
constexpr double kDayCycle_s = 3600.0;

double Follow(double value, double target, double lag_s, double dt) {
  return value + (target - value) * (1.0 - std::exp(-dt / lag_s));
}

}  // namespace

WeatherModel::WeatherModel(Random& random)
    : random_(&random),
      base_air_c_(random.Between(14.0, 26.0)),
      phase_(random.Between(0.0, 2.0 * std::numbers::pi)) {
  // The first shower comes within minutes, so even a short session sees rain come and go.
  scheduled_until_s_ = random.Between(180.0, 480.0);
}

void WeatherModel::ExtendSchedule(double until_s) {
  while (scheduled_until_s_ <= until_s) {
    const double start = scheduled_until_s_;
    const double end = start + random_->Between(240.0, 600.0);
    showers_.push_back({start, end, random_->Between(0.35, 1.0)});
    scheduled_until_s_ = end + random_->Between(420.0, 1200.0);
  }
}

double WeatherModel::ScheduledRain(double at_s) const {
  for (const auto& shower : showers_) {
    if (at_s >= shower.start_s && at_s < shower.end_s) {
      return shower.intensity;
    }
  }
  return 0.0;
}

void WeatherModel::Start(WeatherState& weather) const {
  weather.air_c = static_cast<float>(base_air_c_ + 1.5 * std::sin(phase_));
  weather.track_c = weather.air_c + 8.0F;
}

void WeatherModel::Advance(WeatherState& weather, double now_s, double dt) {
  ExtendSchedule(now_s + kForecastAhead_s);
  const double rain = Follow(weather.rainfall, ScheduledRain(now_s), kRainLag_s, dt);
  const double forecast =
      Follow(weather.forecast, ScheduledRain(now_s + kForecastAhead_s), kForecastLag_s, dt);

  // Rain wets the track in a few minutes; the racing line dries several times faster than off it.
  const double warmth = std::clamp((weather.track_c - 5.0) / 25.0, 0.2, 1.5);
  double on_path = weather.wet_on_path;
  double off_path = weather.wet_off_path;
  on_path += (rain * 0.010 * (1.0 - on_path) - (1.0 - rain) * 0.0040 * warmth * on_path) * dt;
  off_path += (rain * 0.012 * (1.0 - off_path) - (1.0 - rain) * 0.0012 * warmth * off_path) * dt;

  const double cloud = std::max(rain, forecast);
  const double air =
      base_air_c_ + 1.5 * std::sin(2.0 * std::numbers::pi * now_s / kDayCycle_s + phase_) - 3.0 * cloud;
  const double track = Follow(weather.track_c, air + 8.0 * (1.0 - cloud) - 7.0 * on_path, 120.0, dt);

  weather.rainfall = static_cast<float>(std::clamp(rain, 0.0, 1.0));
  weather.forecast = static_cast<float>(std::clamp(forecast, 0.0, 1.0));
  weather.wet_on_path = static_cast<float>(std::clamp(on_path, 0.0, 1.0));
  weather.wet_off_path = static_cast<float>(std::clamp(off_path, 0.0, 1.0));
  weather.air_c = static_cast<float>(air);
  weather.track_c = static_cast<float>(track);
}

}  // namespace velmora::sim
