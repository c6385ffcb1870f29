#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "race/lap_table.h"
#include "race/lap_time_text.h"

namespace velmora::cli {

using velmora::SecondsOfLapTime;

// One row of the lap grid as one line of JSON: "lap", "intermediate1", "intermediate2", "final",
// "sector1", "sector2", "sector3" in seconds, "average_speed" and "max_speed" in the unit they were
// written in, "fuel" in litres; null for an empty cell.
std::string LapRowJson(const TLapRow& row);

}  // namespace velmora::cli
