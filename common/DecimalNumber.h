#pragma once
// Numbers as users and survey files write them: the decimal separator is the
// one of the user's locale, handed in by the caller (never read from global
// state here), so the same text means the same number in every part of the
// program.

#include <string_view>

namespace torvane {

// The whole of `text` must be one decimal number: an optional sign, digits
// with an optional fraction after `decimal_separator`, and an optional
// exponent introduced by E or e. No spaces, no "inf"/"nan", no hexadecimal.
// A number too large for a double is not a number. On success `value` is the
// correctly rounded double; on failure it is left unchanged.
bool ParseDecimal(std::string_view text, char decimal_separator, double& value);

// A whole decimal number that fits a signed 32-bit integer: optional sign,
// digits only.
bool ParseWholeNumber(std::string_view text, int& value);

}  // namespace torvane
