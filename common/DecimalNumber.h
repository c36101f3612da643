#pragma once
// Numbers as users and survey files write them: the decimal separator is the
// one of the user's locale, handed in by the caller (never read from global
// state here), so the same text means the same number in every part of the
// program.

#include <cstdint>
#include <string_view>

namespace torvane {

// The whole of `text` must be one decimal number: an optional sign, digits
// with an optional fraction after `decimal_separator`, and an optional
// exponent introduced by E or e. No spaces, no "inf"/"nan", no hexadecimal.
// A number too large for a double is not a number. On success `value` is the
// correctly rounded double; on failure it is left unchanged.
bool ParseDecimal(std::string_view text, char decimal_separator, double& value);

// Whether `text` is written as a decimal number (as ParseDecimal takes it)
// whose value lies beyond the double range, such as 1e309.
bool IsDecimalBeyondRange(std::string_view text, char decimal_separator);

// A number the user typed (a field, a flag): written with '.' whatever the
// locale, or with the locale's `decimal_separator` where that is another.
inline bool ParseTypedDecimal(std::string_view text, char decimal_separator, double& value) {
  return ParseDecimal(text, '.', value) ||
         (decimal_separator != '.' && ParseDecimal(text, decimal_separator, value));
}

// The digits of a plain decimal number (digits with at most one decimal
// separator: no sign, no exponent), taken one character at a time as a
// reader meets them. Survey files hold such numbers ("12345.67"). When at
// most 16 digits stay below 2^53, the digit string and the power of ten are
// both exact doubles, so their quotient, rounded once by the division, is
// the correctly rounded value: the number ParseDecimal gives, much faster.
class PlainDecimalDigits {
 public:
  explicit PlainDecimalDigits(char separator) : separator_(separator) {}

  void Take(char c) {
    const unsigned digit = static_cast<unsigned char>(c) - unsigned{'0'};
    if (digit < 10) {
      TakeDigit(digit);
    } else {
      TakeOther(c);
    }
  }
  void TakeDigit(unsigned digit) {
    digits_ = digits_ * 10 + digit;
    ++count_;
    fraction_ += after_separator_;
  }
  void TakeOther(char c) {
    if (c == separator_ && !after_separator_) {
      after_separator_ = true;
    } else {
      plain_ = false;
    }
  }

  // The number's magnitude, when the characters taken make a plain decimal
  // that converts exactly this way; false otherwise (ParseDecimal decides).
  bool Magnitude(double& magnitude) const {
    static constexpr double kPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,
                                              1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                              1e12, 1e13, 1e14, 1e15, 1e16};
    if (!plain_ || count_ == 0 || count_ > 16 || digits_ >= (std::uint64_t{1} << 53)) return false;
    magnitude = static_cast<double>(digits_) / kPowersOfTen[fraction_];
    return true;
  }

 private:
  std::uint64_t digits_ = 0;
  int count_ = 0;
  int fraction_ = 0;  // digits after the separator
  bool after_separator_ = false;
  bool plain_ = true;
  char separator_;
};

// A whole decimal number that fits a signed 32-bit integer: optional sign,
// digits only.
bool ParseWholeNumber(std::string_view text, int& value);

}  // namespace torvane
