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
