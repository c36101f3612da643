#include "common/ShortestText.h"

#include <charconv>
#include <system_error>

namespace torvane {
namespace {

// Large enough for any double's shortest text ("-2.2250738585072014e-308").
constexpr std::size_t kShortestSize = 32;

template <typename Number>
void AppendShortestOf(Number value, std::string& out) {
  char digits[kShortestSize];
  const auto result = std::to_chars(digits, digits + sizeof digits, value);
  out.append(digits, result.ptr);
}

}  // namespace

void AppendShortest(double value, std::string& out) { AppendShortestOf(value, out); }
void AppendShortest(float value, std::string& out) { AppendShortestOf(value, out); }

void AppendPlain(double value, std::string& out) {
  constexpr std::size_t kLongestPlain = 24;
  const double magnitude = value < 0 ? -value : value;
  if (magnitude == 0 || magnitude >= 1e-4) {
    char digits[kLongestPlain];
    const auto result = std::to_chars(digits, digits + sizeof digits, value,
                                      std::chars_format::fixed);
    if (result.ec == std::errc()) {
      out.append(digits, result.ptr);
      return;
    }
  }
  AppendShortest(value, out);
}

std::string PlainText(double value) {
  std::string text;
  AppendPlain(value, text);
  return text;
}

std::string PlainText(double value, int significant) {
  char digits[kShortestSize];
  const auto written = std::to_chars(digits, digits + sizeof digits, value,
                                     std::chars_format::general, significant);
  double rounded = value;
  if (written.ec == std::errc()) std::from_chars(digits, written.ptr, rounded);
  return PlainText(rounded);
}

std::string ShortestText(double value) {
  std::string text;
  AppendShortest(value, text);
  return text;
}

}  // namespace torvane
