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

}  // namespace

bool ParseDecimal(std::string_view text, char decimal_separator, double& value) {
  bool negative = false;
  std::string_view body = text;
  if (!body.empty() && (body.front() == '+' || body.front() == '-')) {
    negative = body.front() == '-';
    body.remove_prefix(1);
  }
  PlainDecimalDigits digits(decimal_separator);
  for (const char c : body) digits.Take(c);
  if (double plain = 0; digits.Magnitude(plain)) {
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

bool IsDecimalBeyondRange(std::string_view text, char decimal_separator) {
  std::string_view body = text;
  if (!body.empty() && (body.front() == '+' || body.front() == '-')) body.remove_prefix(1);
  double value = 0;
  return HasNumberShape(body, decimal_separator) && !ParseDecimal(text, decimal_separator, value);
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
