#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "race/lap_table.h"

namespace velmora::cli {

// The seconds a lap-time text of the grid stands for ("1:23.456" is 83.456); none for "--:--.---" or
// any text that is not a time.
std::optional<double> SecondsOfLapTime(std::string_view text);

// One row of the lap grid as one line of JSON: "lap", "intermediate1", "intermediate2", "final",
// "sector1", "sector2", "sector3" in seconds, "average_speed" and "max_speed" in the unit they were
// written in, "fuel" in litres; null for an empty cell.
std::string LapRowJson(const TLapRow& row);

}  // namespace velmora::cli
