#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace velmora {

// Nearest whole number, halves to even; nothing when the value is not finite or does not fit 64 bits.
std::optional<std::int64_t> RoundHalfEven(double value);

// Toward zero; nothing when the value is not finite or does not fit 64 bits.
std::optional<std::int64_t> TruncateTowardZero(double value);

// A gauge position from a whole number that may lie far outside any gauge's range.
int ClampToInt(std::int64_t value);

// Plain decimal digits with a leading "-" when negative.
std::string WholeNumberText(std::int64_t value);

// The shortest general form with up to 15 significant digits, "." as separator ("36", "123.4", "1E-5").
std::string GeneralNumberText(double value);

// `value` rounded to `decimals` places, halves to even; nothing when the value is not finite or too large.
std::optional<double> RoundToDecimals(double value, int decimals);

// A number pattern such as "00.000" or "0.0": at least `integer_digits` digits before the point and
// exactly `decimals` after it, the last digit settled half away from zero, "." as separator. Nothing when
// the value is not finite or too large.
std::optional<std::string> PatternNumberText(double value, int integer_digits, int decimals);

}  // namespace velmora
