#include "points/CsvLine.h"

#include "common/DecimalNumber.h"

namespace torvane {
namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t'; }

}  // namespace

char CsvSeparatorOf(std::string_view header_line) {
  bool quoted = false;
  for (const char c : header_line) {
    if (c == '"') quoted = !quoted;
    if (c == ';' && !quoted) return ';';
  }
  return ',';
}

bool CsvFields::Split(std::string_view line, char separator) {
  text_.clear();
  ranges_.clear();
  std::size_t i = 0;
  for (;;) {
    while (i < line.size() && IsSpace(line[i])) ++i;
    const std::size_t start = text_.size();
    std::size_t kept = start;  // the field's end without trailing spaces
    while (i < line.size() && line[i] != separator) {
      if (line[i] == '"') {
        // A quoted part: everything up to the closing quote, "" for a quote.
        ++i;
        for (;;) {
          if (i == line.size()) return false;
          if (line[i] == '"') {
            if (i + 1 < line.size() && line[i + 1] == '"') {
              text_ += '"';
              i += 2;
              continue;
            }
            ++i;
            break;
          }
          text_ += line[i++];
        }
        kept = text_.size();
        continue;
      }
      text_ += line[i];
      if (!IsSpace(line[i])) kept = text_.size();
      ++i;
    }
    text_.resize(kept);
    ranges_.emplace_back(start, kept - start);
    if (i == line.size()) return true;
    ++i;  // the separator
  }
}

std::vector<std::string> CsvHeaderNames(std::string_view line, char separator,
                                        char decimal_separator) {
  CsvFields fields;
  std::vector<std::string> names;
  if (!fields.Split(line, separator)) return names;
  double value = 0;
  bool all_numbers = true;
  for (std::size_t i = 0; i < fields.size() && all_numbers; ++i) {
    all_numbers = ParseTypedDecimal(fields[i], decimal_separator, value);
  }
  if (all_numbers) return names;
  for (std::size_t i = 0; i < fields.size(); ++i) names.emplace_back(fields[i]);
  return names;
}

}  // namespace torvane
