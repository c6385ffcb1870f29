#include "history/completed_laps.h"

#include <cmath>

#include "race/lap_time_text.h"

namespace velmora::history {
namespace {

constexpr double kMetresPerSecondPerKmh = 1.0 / 3.6;
constexpr double kMetresPerSecondPerMph = 0.44704;

std::optional<double> Seconds(const std::optional<std::string>& text) {
  return text ? SecondsOfLapTime(*text) : std::nullopt;
}

std::optional<double> MetresPerSecond(const std::optional<double>& speed, bool metric) {
  if (!speed) {
    return std::nullopt;
  }
  return *speed * (metric ? kMetresPerSecondPerKmh : kMetresPerSecondPerMph);
}

std::optional<std::string> TimeText(const std::optional<double>& seconds) {
  if (!seconds) {
    return std::nullopt;
  }
  return FormatValue(static_cast<float>(*seconds));
}

std::optional<double> Rounded(const std::optional<double>& value, int decimals) {
  if (!value) {
    return std::nullopt;
  }
  const double scale = std::pow(10.0, decimals);
  return std::round(*value * scale) / scale;
}

std::optional<double> DisplaySpeed(const std::optional<double>& metres_per_second, bool metric) {
  if (!metres_per_second) {
    return std::nullopt;
  }
  return Rounded(*metres_per_second / (metric ? kMetresPerSecondPerKmh : kMetresPerSecondPerMph), 1);
}

}  // namespace

CompletedLaps::CompletedLaps(TLapTable& table) : table_(table) {
  table_.AddListener(this);
}

CompletedLaps::~CompletedLaps() {
  table_.RemoveListener(this);
}

std::vector<LapRecord> CompletedLaps::TakeNew(int lap_counter, bool metric) {
  std::vector<LapRecord> laps;
  for (const TLapRow& row : table_.Rows()) {
    if (row.Lap > lap_counter || taken_.contains(row.Lap)) {
      continue;
    }
    taken_.insert(row.Lap);
    laps.push_back(LapRecordOfRow(row, metric));
  }
  return laps;
}

LapRecord LapRecordOfRow(const TLapRow& row, bool metric) {
  LapRecord lap;
  lap.lap = row.Lap;
  lap.intermediate1_s = Seconds(row.Sector1);
  lap.intermediate2_s = Seconds(row.Sector2);
  lap.lap_time_s = Seconds(row.Final);
  lap.sector1_s = Seconds(row.BestSector1);
  lap.sector2_s = Seconds(row.BestSector2);
  lap.sector3_s = Seconds(row.BestSector3);
  lap.average_speed_m_s = MetresPerSecond(row.AverageSpeed, metric);
  lap.top_speed_m_s = MetresPerSecond(row.MaximumSpeed, metric);
  lap.fuel_used_l = row.Fuel;
  return lap;
}

TLapRow LapRowOfRecord(const LapRecord& lap, bool metric) {
  TLapRow row;
  row.Lap = lap.lap;
  row.Sector1 = TimeText(lap.intermediate1_s);
  row.Sector2 = TimeText(lap.intermediate2_s);
  row.Final = TimeText(lap.lap_time_s);
  row.BestSector1 = TimeText(lap.sector1_s);
  row.BestSector2 = TimeText(lap.sector2_s);
  row.BestSector3 = TimeText(lap.sector3_s);
  row.AverageSpeed = DisplaySpeed(lap.average_speed_m_s, metric);
  row.MaximumSpeed = DisplaySpeed(lap.top_speed_m_s, metric);
  row.Fuel = Rounded(lap.fuel_used_l, 2);
  return row;
}

}  // namespace velmora::history
