#include "values/rounding.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdio>
#include <string_view>

namespace velmora {
namespace {

// 2^63 as a double: every whole double from -2^63 up to below 2^63 converts to int64 exactly.
constexpr double kInt64Limit = 9223372036854775808.0;

bool FitsInt64(double value) {
  return std::isfinite(value) && value >= -kInt64Limit && value < kInt64Limit;
}

}  // namespace

std::optional<std::int64_t> RoundHalfEven(double value) {
  if (!FitsInt64(value)) {
    return std::nullopt;
  }
  double whole = std::floor(value);
  const double fraction = value - whole;
  if (fraction > 0.5 || (fraction == 0.5 && std::fmod(whole, 2.0) != 0.0)) {
    whole += 1.0;
  }
  if (!FitsInt64(whole)) {
    return std::nullopt;
  }
  return static_cast<std::int64_t>(whole);
}

std::optional<std::int64_t> TruncateTowardZero(double value) {
  if (!FitsInt64(value)) {
    return std::nullopt;
  }
  return static_cast<std::int64_t>(std::trunc(value));
}

int ClampToInt(std::int64_t value) {
  return static_cast<int>(std::clamp<std::int64_t>(value, INT32_MIN, INT32_MAX));
}

std::string WholeNumberText(std::int64_t value) {
  return std::to_string(value);
}

std::string GeneralNumberText(double value) {
  if (std::isnan(value)) {
    return "NAN";
  }
  if (std::isinf(value)) {
    return value > 0 ? "INF" : "-INF";
  }
  if (value == 0.0) {
    return "0";  // also for -0.0, which a rounded tiny negative becomes
  }
  // to_chars, unlike printf, never asks the C locale, so a comma never stands in for the point.
  char buffer[40];
  const auto end = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15).ptr;
  std::string text(buffer, end);
  std::replace(text.begin(), text.end(), 'e', 'E');
  // "%G" writes exponents as "E-05"; the dashboard's general form drops the sign of positive exponents
  // and the leading zeros.
  const auto e = text.find('E');
  if (e == std::string::npos) {
    return text;
  }
  std::string mantissa = text.substr(0, e);
  std::string_view exponent(text);
  exponent.remove_prefix(e + 1);
  std::string sign;
  if (!exponent.empty() && (exponent.front() == '+' || exponent.front() == '-')) {
    if (exponent.front() == '-') {
      sign = "-";
    }
    exponent.remove_prefix(1);
  }
  while (exponent.size() > 1 && exponent.front() == '0') {
    exponent.remove_prefix(1);
  }
  return mantissa + "E" + sign + std::string(exponent);
}

}  // namespace velmora
