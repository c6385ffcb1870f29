#include "race/lap_time_text.h"

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

}  // namespace velmora
