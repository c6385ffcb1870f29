#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace velmora {

inline constexpr std::string_view kMessageIpNotValid = "IP Address  is not valid";
inline constexpr std::string_view kMessagePortNotValid = "Port is not valid (1->65535)";

// Four decimal numbers from 0 to 255 separated by dots. The text is taken piece by piece, so one dot
// after the fourth number is let through; an empty piece, a fifth number or anything but digits is not.
bool IsValidIP(std::string_view text);

// A decimal port from 1 to 65535; none for anything else, the empty text included.
std::optional<std::uint16_t> ParsePort(std::string_view text);

}  // namespace velmora
