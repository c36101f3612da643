#pragma once
// Exact sums of CBA values as whole numbers. Every double is a whole
// multiple of a power of two; with the smallest such unit among all the
// values of a survey, every value is a whole number of units, and so is
// every sum of them. When the values span few enough binary places (real
// survey data spans about 70), a 128-bit integer holds any sum of them
// exactly: adding is then one integer addition, and the sum is rounded to a
// double once, at the end. The result is the correctly rounded sum, the same
// number ExactSum gives, whatever the order of the terms.

#include <cstddef>
#include <cstdint>
#include <span>

namespace torvane {

__extension__ typedef __int128 FixedUnits;

class FixedPointScale {
 public:
  // Chooses the unit for sums of up to `most_terms` of the values; usable()
  // is false when some sum could leave 128 bits (values spanning too many
  // binary places, or not finite).
  FixedPointScale(std::span<const double> values, std::size_t most_terms);

  bool usable() const { return usable_; }
  // True when the units of every value also split into a high and a low
  // 64-bit part, units = high * 2^split_bits() + low with 0 <= low <
  // 2^split_bits(), such that the highs and the lows of up to `most_terms`
  // values each sum within 64 bits: a sum is then two plain 64-bit sums,
  // several at a time in vector registers. Real survey data (about 70 binary
  // places) splits.
  bool splits() const { return split_bits_ > 0; }
  int split_bits() const { return split_bits_; }
  // The two 64-bit sums joined again, as one number of units.
  FixedUnits Joined(std::int64_t high, std::int64_t low) const {
    return (static_cast<FixedUnits>(high) << split_bits_) + low;
  }
  // The value as a whole number of units; exact for the values given above.
  FixedUnits ToUnits(double value) const;
  // A number of units as the nearest double (ties to even).
  double ToDouble(FixedUnits units) const;

 private:
  int unit_exponent_ = 0;  // a unit is 2^unit_exponent_
  bool usable_ = false;
  int split_bits_ = 0;  // 0: the units do not split
};

}  // namespace torvane
