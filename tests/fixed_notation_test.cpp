// The table's numbers against the C library's own "%.*f", on values chosen
// to sit on rounding ties and at the edges of the exact integer range.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <random>
#include <string>

#include "residual/FixedNotation.h"

namespace torvane::testing {
namespace {

std::string Ours(double value, int decimals) {
  char text[kFixedNotationSize];
  return std::string(text, WriteFixed(value, decimals, text));
}

std::string Printf(double value, int decimals) {
  char text[400];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  return text;
}

TEST(FixedNotation, SameDigitsAsPrintf) {
  const double edges[] = {0.0, -0.0, 0.05, -0.05, 0.25, 0.125, 2.5, 3.5, -2.5, 0.0000005, 1.0000005,
                          0.15, 0.35, 1e-300, -1e-300, 5e-324, 4503599627370495.5,
                          9007199254740991.0, 9007199254740992.0, 1e22, -1.5e300,
                          std::numeric_limits<double>::max(), 123456.789, -99999.9999995};
  for (const double value : edges) {
    for (int decimals = 0; decimals <= 6; ++decimals) {
      ASSERT_EQ(Ours(value, decimals), Printf(value, decimals)) << value << " %." << decimals;
    }
  }
  std::mt19937_64 random(7);
  std::uniform_int_distribution<int> exponent(-40, 60);
  std::uniform_real_distribution<double> fraction(-1, 1);
  std::uniform_int_distribution<long long> ticks(-100000000, 100000000);
  for (int i = 0; i < 200000; ++i) {
    // Half the values are decimal ticks (ties after rounding are common),
    // half spread over many magnitudes.
    const double value = i % 2 ? static_cast<double>(ticks(random)) / 2000.0
                               : std::ldexp(fraction(random), exponent(random));
    const int decimals = i % 7;
    ASSERT_EQ(Ours(value, decimals), Printf(value, decimals)) << value << " %." << decimals;
  }
}

TEST(FixedNotation, NotFiniteValues) {
  for (const double value : {std::numeric_limits<double>::infinity(),
                             -std::numeric_limits<double>::infinity(),
                             std::numeric_limits<double>::quiet_NaN()}) {
    EXPECT_EQ(Ours(value, 3), Printf(value, 3));
  }
}

}  // namespace
}  // namespace torvane::testing
