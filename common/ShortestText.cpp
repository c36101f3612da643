#include "common/ShortestText.h"

#include <charconv>

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

std::string ShortestText(double value) {
  std::string text;
  AppendShortest(value, text);
  return text;
}

}  // namespace torvane
