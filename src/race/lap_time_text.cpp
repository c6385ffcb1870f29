#include "race/lap_time_text.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>

#include "values/rounding.h"

namespace velmora {

std::string FormatValue(float ASingle) {
  static const std::string kNoTime = "--:--.---";
  const double value = ASingle;
  if (value == -1.0 || value == 0.0 || !std::isfinite(value)) {
    return kNoTime;
  }
  double minutes = std::floor(value / 60.0);
  double seconds = value - 60.0 * minutes;
  // Seconds that round up to a whole minute belong to the next one: 59.9996 s is 1:00.000, not 0:60.000.
  if (std::round(seconds * 1000.0) >= 60000.0) {
    minutes += 1.0;
    seconds = 0.0;
  }
  if (minutes < std::numeric_limits<std::int32_t>::min() ||
      minutes > std::numeric_limits<std::int32_t>::max()) {
    return kNoTime;
  }
  const auto text = PatternNumberText(seconds, 2, 3);
  if (!text) {
    return kNoTime;
  }
  return WholeNumberText(static_cast<std::int64_t>(minutes)) + ":" + *text;
}

std::optional<double> SecondsOfLapTime(std::string_view text) {
  const auto colon = text.find(':');
  if (colon == std::string_view::npos || colon == 0) {
    return std::nullopt;
  }
  long long minutes = 0;
  const auto [minutes_end, minutes_error] = std::from_chars(text.data(), text.data() + colon, minutes);
  if (minutes_error != std::errc() || minutes_end != text.data() + colon) {
    return std::nullopt;
  }
  const std::string_view rest = text.substr(colon + 1);
  double seconds = 0.0;
  const auto [seconds_end, seconds_error] = std::from_chars(rest.data(), rest.data() + rest.size(), seconds);
  if (rest.empty() || rest.front() == '-' || seconds_error != std::errc() ||
      seconds_end != rest.data() + rest.size()) {
    return std::nullopt;
  }
  // Minutes are rounded down, so the seconds always add: -1:55.000 is -5 s.
  return static_cast<double>(minutes) * 60.0 + seconds;
}

}  // namespace velmora
