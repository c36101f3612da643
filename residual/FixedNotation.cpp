#include "residual/FixedNotation.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>

namespace torvane {
namespace {

__extension__ typedef unsigned __int128 Wide;

constexpr std::uint64_t kPowersOfTen[] = {1, 10, 100, 1000, 10000, 100000, 1000000};
constexpr double kExactIntegers = 9007199254740992.0;  // 2^53

char* WriteDigits(std::uint64_t number, int width, char* out) {
  char digits[24];
  int count = 0;
  do {
    digits[count++] = static_cast<char>('0' + number % 10);
    number /= 10;
  } while (number != 0);
  while (count < width) digits[count++] = '0';
  while (count > 0) *out++ = digits[--count];
  return out;
}

}  // namespace

// Below 2^53 a double is m * 2^-k with a whole m < 2^53; its value times
// 10^decimals is then m * 10^decimals / 2^k, a quotient of whole numbers that
// 128 bits hold exactly, so the rounding is exact too. Larger values and
// non-finite ones go to the library's conversion, which is exact as well.
char* WriteFixed(double value, int decimals, char* out) {
  const double magnitude = std::fabs(value);
  if (!(magnitude < kExactIntegers)) {
    return std::to_chars(out, out + kFixedNotationSize, value, std::chars_format::fixed, decimals)
        .ptr;
  }
  // magnitude = mantissa / 2^shift, read from the bits (the same numbers
  // frexp gives, without the library call).
  const auto bits = std::bit_cast<std::uint64_t>(magnitude);
  const auto biased = static_cast<int>(bits >> 52);
  constexpr std::uint64_t kFractionBits = (std::uint64_t{1} << 52) - 1;
  const std::uint64_t mantissa =
      biased == 0 ? bits & kFractionBits : (bits & kFractionBits) | (std::uint64_t{1} << 52);
  const int shift = biased == 0 ? 1074 : 1075 - biased;
  const std::uint64_t scale = kPowersOfTen[decimals];
  Wide scaled = 0;  // magnitude * 10^decimals, rounded half to even: below 2^73
  if (shift <= 0) {
    scaled = static_cast<Wide>(mantissa << -shift) * scale;  // a whole number below 2^53
  } else if (shift < 127) {
    const Wide numerator = static_cast<Wide>(mantissa) * scale;
    scaled = numerator >> shift;
    const Wide remainder = numerator - (scaled << shift);
    const Wide half = Wide{1} << (shift - 1);
    if (remainder > half || (remainder == half && (scaled & 1) != 0)) ++scaled;
  }  // else far below half a unit of the last decimal: 0
  if (std::signbit(value)) *out++ = '-';
  std::uint64_t whole = 0, part = 0;
  if ((scaled >> 64) == 0) {  // the common case, in one 64-bit division
    const auto narrow = static_cast<std::uint64_t>(scaled);
    whole = narrow / scale;
    part = narrow % scale;
  } else {
    whole = static_cast<std::uint64_t>(scaled / scale);
    part = static_cast<std::uint64_t>(scaled % scale);
  }
  out = WriteDigits(whole, 1, out);
  if (decimals > 0) {
    *out++ = '.';
    out = WriteDigits(part, decimals, out);
  }
  return out;
}

}  // namespace torvane
