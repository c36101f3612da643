#include "common/DecimalNumber.h"

#include <array>
#include <charconv>
#include <cstdint>
#include <string>
#include <system_error>

namespace torvane {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Checks the shape of an unsigned number (no sign) and reports whether it is
// well formed. `separator` is the only fraction mark accepted.
bool HasNumberShape(std::string_view s, char separator) {
  std::size_t i = 0;
  std::size_t digits = 0;
  while (i < s.size() && IsDigit(s[i])) { ++i; ++digits; }
  if (i < s.size() && s[i] == separator) {
    ++i;
    while (i < s.size() && IsDigit(s[i])) { ++i; ++digits; }
  }
  if (digits == 0) return false;
  if (i < s.size() && (s[i] == 'E' || s[i] == 'e')) {
    ++i;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    std::size_t exponent_digits = 0;
    while (i < s.size() && IsDigit(s[i])) { ++i; ++exponent_digits; }
    if (exponent_digits == 0) return false;
  }
  return i == s.size();
}

bool ConvertDotted(std::string_view s, double& value) {
  double parsed = 0.0;
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), parsed);
  if (ec != std::errc() || end != s.data() + s.size()) return false;
  value = parsed;
  return true;
}

// Survey files hold short plain decimals ("-12345.67"). When the digits
// without the separator number at most 16 and stay below 2^53, both the
// digit string and the power of ten are exact doubles, so their quotient,
// rounded once by the division, is the correctly rounded value: the same
// number the general conversion gives, much faster. Anything else (an
// exponent, long digit strings) answers false and goes the general way.
bool ParsePlainDecimal(std::string_view s, char separator, double& magnitude) {
  static constexpr double kPowersOfTen[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7, 1e8,
                                            1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15, 1e16};
  constexpr std::uint64_t kExactLimit = std::uint64_t{1} << 53;
  std::uint64_t digits = 0;
  std::size_t count = 0;
  std::size_t fraction = 0;
  bool after_separator = false;
  for (const char c : s) {
    if (IsDigit(c)) {
      if (++count > 16) return false;  // 16 digits stay below 10^16 < 2^64
      digits = digits * 10 + static_cast<std::uint64_t>(c - '0');
      fraction += after_separator;
    } else if (c == separator && !after_separator) {
      after_separator = true;
    } else {
      return false;
    }
  }
  if (count == 0 || digits >= kExactLimit) return false;
  magnitude = static_cast<double>(digits) / kPowersOfTen[fraction];
  return true;
}

}  // namespace

bool ParseDecimal(std::string_view text, char decimal_separator, double& value) {
  bool negative = false;
  std::string_view body = text;
  if (!body.empty() && (body.front() == '+' || body.front() == '-')) {
    negative = body.front() == '-';
    body.remove_prefix(1);
  }
  if (double plain = 0; ParsePlainDecimal(body, decimal_separator, plain)) {
    value = negative ? -plain : plain;
    return true;
  }
  if (!HasNumberShape(body, decimal_separator)) return false;

  double magnitude = 0.0;
  const std::size_t mark = decimal_separator == '.' ? std::string_view::npos
                                                    : body.find(decimal_separator);
  if (mark == std::string_view::npos) {
    if (!ConvertDotted(body, magnitude)) return false;
  } else {
    // from_chars knows only '.', so the locale's mark is swapped for it in a
    // copy; short tokens (all real ones) stay on the stack.
    std::array<char, 64> small{};
    std::string large;
    char* copy = small.data();
    if (body.size() > small.size()) {
      large.assign(body);
      copy = large.data();
    } else {
      body.copy(copy, body.size());
    }
    copy[mark] = '.';
    if (!ConvertDotted(std::string_view(copy, body.size()), magnitude)) return false;
  }
  value = negative ? -magnitude : magnitude;
  return true;
}

bool ParseWholeNumber(std::string_view text, int& value) {
  std::string_view body = text;
  if (!body.empty() && body.front() == '+') body.remove_prefix(1);
  const std::size_t first_digit = !body.empty() && body.front() == '-' ? 1 : 0;
  if (body.size() <= first_digit || !IsDigit(body[first_digit])) return false;
  int parsed = 0;
  const auto [end, ec] = std::from_chars(body.data(), body.data() + body.size(), parsed);
  if (ec != std::errc() || end != body.data() + body.size()) return false;
  value = parsed;
  return true;
}

}  // namespace torvane
