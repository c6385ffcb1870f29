#include "lap_rows.h"

#include <charconv>
#include <cmath>

namespace velmora::cli {
namespace {

// The shortest text that reads back as the same double, so 89.5 stays 89.5.
std::string JsonNumber(const std::optional<double>& value) {
  if (!value || !std::isfinite(*value)) {
    return "null";
  }
  char text[32];
  const auto result = std::to_chars(text, text + sizeof text, *value);
  return std::string(text, result.ptr);
}

std::string JsonTime(const std::optional<std::string>& text) {
  return JsonNumber(text ? SecondsOfLapTime(*text) : std::nullopt);
}

}  // namespace

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

std::string LapRowJson(const TLapRow& row) {
  std::string line = "{\"lap\":" + std::to_string(row.Lap);
  line += ",\"intermediate1\":" + JsonTime(row.Sector1);
  line += ",\"intermediate2\":" + JsonTime(row.Sector2);
  line += ",\"final\":" + JsonTime(row.Final);
  line += ",\"sector1\":" + JsonTime(row.BestSector1);
  line += ",\"sector2\":" + JsonTime(row.BestSector2);
  line += ",\"sector3\":" + JsonTime(row.BestSector3);
  line += ",\"average_speed\":" + JsonNumber(row.AverageSpeed);
  line += ",\"max_speed\":" + JsonNumber(row.MaximumSpeed);
  line += ",\"fuel\":" + JsonNumber(row.Fuel);
  line += "}";
  return line;
}

}  // namespace velmora::cli
