#include "points/PointLine.h"

#include <algorithm>
#include <array>

#include "common/DecimalNumber.h"

namespace torvane {
namespace {

constexpr int kMinimumTokens = 4;
constexpr int kMaximumColumn = 25;

bool IsTokenBreak(char c) { return c == ' ' || c == '\r' || c == '\n'; }

// Upper case, commas to spaces unless the comma is the decimal separator,
// TAB and backspace to spaces.
void Normalise(std::string_view raw, char decimal_separator, std::string& out) {
  out.assign(raw);
  for (char& c : out) {
    if (c >= 'a' && c <= 'z') {
      c = static_cast<char>(c - 'a' + 'A');
    } else if ((c == ',' && decimal_separator != ',') || c == '\t' || c == '\b') {
      c = ' ';
    }
  }
}

}  // namespace

bool IsNumericLine(std::string_view line, char decimal_separator) {
  for (const char c : line) {
    if (c == '\0' || c == '\r' || c == '\n') return true;
    const bool allowed = c == ' ' || c == '+' || c == '-' || (c >= '0' && c <= '9') ||
                         c == ':' || c == 'E' || c == 'e' || c == decimal_separator;
    if (!allowed) return false;
  }
  return true;
}

bool ParsePointLine(std::string_view line, const PointColumns& columns, char decimal_separator,
                    PointValues& values) {
  const int lowest = std::min({columns.x, columns.y, columns.point, columns.cba});
  const int highest = std::max({columns.x, columns.y, columns.point, columns.cba});
  if (lowest < 0 || highest > kMaximumColumn) return false;
  const int needed = std::max(highest + 1, kMinimumTokens);

  std::array<std::string_view, kMaximumColumn + 1> tokens;
  int found = 0;
  std::size_t i = 0;
  while (found < needed) {
    while (i < line.size() && IsTokenBreak(line[i])) ++i;
    if (i == line.size()) break;
    const std::size_t start = i;
    while (i < line.size() && !IsTokenBreak(line[i])) ++i;
    tokens[found++] = line.substr(start, i - start);
  }
  if (found < needed) return false;

  PointValues parsed;
  if (!ParseDecimal(tokens[columns.x], decimal_separator, parsed.x) ||
      !ParseDecimal(tokens[columns.y], decimal_separator, parsed.y) ||
      !ParseDecimal(tokens[columns.point], decimal_separator, parsed.point) ||
      !ParseDecimal(tokens[columns.cba], decimal_separator, parsed.cba)) {
    return false;
  }
  values = parsed;
  return true;
}

bool ClassifyPointLine(std::string_view raw_line, const PointColumns& columns,
                       char decimal_separator, std::string& scratch, PointValues& values) {
  // Text ends at a NUL byte, as it does for every C string function.
  raw_line = raw_line.substr(0, raw_line.find('\0'));
  if (raw_line.empty() || raw_line.front() == '/') return false;  // blank or comment
  Normalise(raw_line, decimal_separator, scratch);
  const auto first = static_cast<unsigned char>(scratch.front());
  if (first < 32 || first >= 128) return false;
  if (scratch.find('"') != std::string::npos) return false;
  if (scratch.find("LINE") != std::string::npos) return false;
  if (!IsNumericLine(scratch, decimal_separator)) return false;
  return ParsePointLine(scratch, columns, decimal_separator, values);
}

}  // namespace torvane
