#include "values/rounding.h"

#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace velmora {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

struct WholeCase {
  double value;
  std::optional<std::int64_t> expected;
};

TEST(RoundingTest, RoundsHalvesToEven) {
  const std::vector<WholeCase> cases{
      {0.5, 0},
      {1.5, 2},
      {2.5, 2},
      {12.5, 12},
      {37.5, 38},
      {-0.5, 0},
      {-1.5, -2},
      {-2.5, -2},
      {2.4999999999999996, 2},
      {2.5000000000000004, 3},
      {-273.15, -273},
      {-459.67, -460},
      {0.0, 0},
      {4503599627370495.5, 4503599627370496},  // the last double with a fraction
      {9223372036854774784.0, 9223372036854774784},
      {-9223372036854775808.0, std::numeric_limits<std::int64_t>::min()},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.value);
    EXPECT_EQ(RoundHalfEven(c.value), c.expected);
  }
}

TEST(RoundingTest, TruncatesTowardZero) {
  const std::vector<WholeCase> cases{
      {2.9, 2},
      {-2.9, -2},
      {-0.15, 0},
      {99.99999999999997, 99},
      {100.85, 100},
      {-273.15, -273},
      {-9223372036854775808.0, std::numeric_limits<std::int64_t>::min()},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.value);
    EXPECT_EQ(TruncateTowardZero(c.value), c.expected);
  }
}

TEST(RoundingTest, NonFiniteAndOutOfRangeGiveNothing) {
  for (const double value : {kNaN, kInf, -kInf, 9223372036854775808.0, -9223372036854777856.0, 1e300}) {
    SCOPED_TRACE(value);
    EXPECT_EQ(RoundHalfEven(value), std::nullopt);
    EXPECT_EQ(TruncateTowardZero(value), std::nullopt);
  }
}

TEST(RoundingTest, ClampsToTheIntRange) {
  EXPECT_EQ(ClampToInt(150), 150);
  EXPECT_EQ(ClampToInt(-7), -7);
  EXPECT_EQ(ClampToInt(std::int64_t{1} << 40), std::numeric_limits<int>::max());
  EXPECT_EQ(ClampToInt(-(std::int64_t{1} << 40)), std::numeric_limits<int>::min());
}

TEST(RoundingTest, WholeNumberText) {
  EXPECT_EQ(WholeNumberText(0), "0");
  EXPECT_EQ(WholeNumberText(89), "89");
  EXPECT_EQ(WholeNumberText(-273), "-273");
}

TEST(RoundingTest, GeneralNumberTextForms) {
  struct Case {
    double value;
    const char* text;
  };
  const std::vector<Case> cases{
      {36.0, "36"},
      {123.4, "123.4"},
      {22.4, "22.4"},
      {0.0, "0"},
      {-0.0, "0"},
      {-5.25, "-5.25"},
      {0.1, "0.1"},
      {0.0001, "0.0001"},
      {0.00001, "1E-5"},
      {-2.5e-7, "-2.5E-7"},
      {1.5e-300, "1.5E-300"},
      {999999999999999.0, "999999999999999"},
      {1e15, "1E15"},
      {1.5e20, "1.5E20"},
      {1.0 / 3.0, "0.333333333333333"},
      // A single-precision value shows the digits of its exact value, not of the decimal it came from.
      {static_cast<double>(12.3F), "12.3000001907349"},
      {kNaN, "NAN"},
      {kInf, "INF"},
      {-kInf, "-INF"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(GeneralNumberText(c.value), c.text);
  }
}

}  // namespace
}  // namespace velmora
