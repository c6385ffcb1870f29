#pragma once

#include <charconv>
#include <cstdint>
#include <string>

namespace velmora::cli {

// A whole number in [low, high] and nothing else.
template <typename T>
bool WholeNumber(const std::string& text, T low, T high, T& value) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc{} && end == text.data() + text.size() && !text.empty() && value >= low &&
         value <= high;
}

// "HOST" or "HOST:PORT" of a Velmora server; the port is the protocol's default when none is given.
bool ParseServer(const std::string& text, std::string& host, std::uint16_t& port);

}  // namespace velmora::cli
