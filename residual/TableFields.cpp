#include "residual/TableFields.h"

#include <charconv>
#include <cmath>

#include "residual/FixedNotation.h"

namespace torvane {

void AppendRightAligned(std::string_view text, int width, std::string& out) {
  const auto length = static_cast<int>(text.size());
  if (length < width) out.append(static_cast<std::size_t>(width - length), ' ');
  out.append(text);
}

void AppendFixedField(double value, int decimals, int width, std::string& out) {
  if (std::isnan(value)) {
    AppendRightAligned("NaN", width, out);
    return;
  }
  char digits[kFixedNotationSize];
  AppendRightAligned(std::string_view(digits, WriteFixed(value, decimals, digits)), width, out);
}

void AppendCountField(long long count, int width, std::string& out) {
  char digits[24];
  const auto result = std::to_chars(digits, digits + sizeof digits, count);
  AppendRightAligned(std::string_view(digits, result.ptr), width, out);
}

void AppendShortestOrEmpty(double value, std::string& out) {
  if (!std::isnan(value)) AppendShortest(value, out);
}

void AppendCount(long long count, std::string& out) { AppendCountField(count, 0, out); }

}  // namespace torvane
