#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace velmora {

// The text of a lap or split time in seconds: whole minutes without padding, ":", and the seconds with
// three decimals ("1:23.456", "0:09.500"). "--:--.---" for 0 and -1, which stand for no time, and for a
// value that is not a number or whose minutes do not fit a 32-bit integer.
std::string FormatValue(float ASingle);

// The seconds a lap-time text stands for ("1:23.456" is 83.456); none for "--:--.---" or any text that is
// not a time.
std::optional<double> SecondsOfLapTime(std::string_view text);

}  // namespace velmora
