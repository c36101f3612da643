#include "residual/FixedPointSum.h"

#include <algorithm>
#include <bit>
#include <climits>
#include <cmath>

#include "residual/ExactSum.h"

namespace torvane {
namespace {

__extension__ typedef unsigned __int128 FixedMagnitude;

constexpr int kMantissaBits = 53;

// Leading zero bits of a nonzero magnitude.
int Leading(FixedMagnitude magnitude) {
  const auto high = static_cast<std::uint64_t>(magnitude >> 64);
  return high != 0 ? std::countl_zero(high)
                   : 64 + std::countl_zero(static_cast<std::uint64_t>(magnitude));
}
// Units below this would make the pieces of ToDouble subnormal.
constexpr int kLowestUnitExponent = -1000;
// Room for the sum: 127 value bits of a signed 128-bit integer.
constexpr int kSumBits = 127;
// Room for a sum of split parts: 62 value bits, one spare below the sign.
constexpr int kSplitSumBits = 62;

// The value as mantissa * 2^exponent with a whole (odd, unless 0) mantissa.
void Decompose(double value, std::int64_t& mantissa, int& exponent) {
  int binary_exponent = 0;
  const double fraction = std::frexp(value, &binary_exponent);  // value = fraction * 2^e
  mantissa = static_cast<std::int64_t>(std::ldexp(fraction, kMantissaBits));
  exponent = binary_exponent - kMantissaBits;
  if (mantissa == 0) return;
  const int zeros = std::countr_zero(static_cast<std::uint64_t>(mantissa < 0 ? -mantissa : mantissa));
  mantissa >>= zeros;
  exponent += zeros;
}

}  // namespace

FixedPointScale::FixedPointScale(std::span<const double> values, std::size_t most_terms) {
  int lowest = INT_MAX;   // exponent of the lowest bit of any value
  int highest = INT_MIN;  // exponent of the highest bit of any value
  for (const double value : values) {
    if (!std::isfinite(value)) return;
    if (value == 0) continue;
    std::int64_t mantissa = 0;
    int exponent = 0;
    Decompose(value, mantissa, exponent);
    lowest = std::min(lowest, exponent);
    const auto magnitude = static_cast<std::uint64_t>(mantissa < 0 ? -mantissa : mantissa);
    highest = std::max(highest, exponent + static_cast<int>(std::bit_width(magnitude)));
  }
  const int term_bits = static_cast<int>(std::bit_width(std::max<std::size_t>(most_terms, 1)));
  // Fewer than 2^term_bits terms, each low part below 2^split_bits: their
  // sum stays below 2^kSplitSumBits.
  const int split_bits = kSplitSumBits - term_bits;
  if (lowest == INT_MAX) {  // all zero
    usable_ = true;
    split_bits_ = split_bits;
    return;
  }
  unit_exponent_ = lowest;
  usable_ = lowest >= kLowestUnitExponent && highest - lowest + term_bits <= kSumBits;
  // Every value's units lie within +-2^(highest - lowest), so every high part
  // within +-2^(highest - lowest - split_bits), and the sum of the high parts
  // within +-2^kSplitSumBits when this holds.
  if (usable_ && split_bits > 0 && highest - lowest - split_bits + term_bits <= kSplitSumBits) {
    split_bits_ = split_bits;
  }
}

FixedUnits FixedPointScale::ToUnits(double value) const {
  if (value == 0) return 0;
  std::int64_t mantissa = 0;
  int exponent = 0;
  Decompose(value, mantissa, exponent);
  return static_cast<FixedUnits>(mantissa) << (exponent - unit_exponent_);
}

// The 127 bits are cut into three pieces of 43 bits, each an exact double;
// their exact sum rounded once is the nearest double to the whole.
double FixedPointScale::ToDouble(FixedUnits units) const {
  const bool negative = units < 0;
  FixedMagnitude magnitude = negative ? -static_cast<FixedMagnitude>(units)
                                      : static_cast<FixedMagnitude>(units);
  // The common case: the top 63 bits of the magnitude, with a last bit set
  // when any bit below them is (it stands for them all: it lies far below
  // the rounding position), rounded once by the processor's conversion,
  // then scaled by a power of two, which is exact for a normal result.
  const int width = magnitude == 0 ? 0 : 128 - Leading(magnitude);
  const int dropped = std::max(0, width - 63);
  const int exponent = dropped + unit_exponent_;
  if (exponent >= kLowestUnitExponent && exponent <= 900) {
    auto top = static_cast<std::int64_t>(magnitude >> dropped);
    if (dropped > 0 && (magnitude & ((FixedMagnitude{1} << dropped) - 1)) != 0) top |= 1;
    const double scale = std::bit_cast<double>(static_cast<std::uint64_t>(exponent + 1023) << 52);
    const double result = static_cast<double>(top) * scale;
    return negative ? -result : result;
  }
  constexpr int kPiece = 43;
  constexpr std::uint64_t kPieceMask = (std::uint64_t{1} << kPiece) - 1;
  ExactSum sum;
  for (int shift = 0; shift < 3 * kPiece; shift += kPiece) {
    const auto piece = static_cast<double>(static_cast<std::uint64_t>(magnitude) & kPieceMask);
    sum.Add(std::ldexp(piece, shift + unit_exponent_));
    magnitude >>= kPiece;
  }
  const double result = sum.Result();
  return negative ? -result : result;
}

}  // namespace torvane
