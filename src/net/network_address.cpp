#include "net/network_address.h"

#include <charconv>

namespace velmora {
namespace {

bool IsDecimal(std::string_view text, unsigned high, unsigned& value) {
  if (text.empty() || text.size() > 5) {
    return false;
  }
  for (const char c : text) {
    if (c < '0' || c > '9') {
      return false;
    }
  }
  std::from_chars(text.data(), text.data() + text.size(), value);
  return value <= high;
}

}  // namespace

bool IsValidIP(std::string_view text) {
  for (int piece = 0; piece < 4; ++piece) {
    const auto dot = text.find('.');
    unsigned value = 0;
    if (!IsDecimal(text.substr(0, dot), 255, value)) {
      return false;
    }
    text = dot == std::string_view::npos ? std::string_view{} : text.substr(dot + 1);
    if (piece < 3 && dot == std::string_view::npos) {
      return false;  // fewer than four numbers
    }
  }
  return text.empty();
}

std::optional<std::uint16_t> ParsePort(std::string_view text) {
  unsigned value = 0;
  if (!IsDecimal(text, 65535, value) || value == 0) {
    return std::nullopt;
  }
  return static_cast<std::uint16_t>(value);
}

}  // namespace velmora
