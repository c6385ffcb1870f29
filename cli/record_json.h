#pragma once

#include <string>

#include "net/game_data.h"

namespace velmora::cli {

// The record as one JSON object on one line: every datum under its name, numbers as stored (a Single
// with the shortest text that reads back as the same Single).
std::string RecordJson(const TGameData& record);

}  // namespace velmora::cli
