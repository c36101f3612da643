#pragma once
// A double in fixed notation with a given number of decimals, digit for digit
// as C's "%.*f" prints it: the exact binary value rounded half to even, '.'
// as the decimal point, the sign kept for negative values that round to 0.

namespace torvane {

// Room for any double with up to 6 decimals: 309 digits, sign, point, 6.
inline constexpr int kFixedNotationSize = 320;

// Writes the text at `out` (at least kFixedNotationSize bytes, decimals 0 to
// 6) and answers the end of what was written.
char* WriteFixed(double value, int decimals, char* out);

}  // namespace torvane
