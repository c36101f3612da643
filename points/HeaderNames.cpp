#include "points/HeaderNames.h"

#include <fstream>

#include "points/ColumnNames.h"
#include "points/CsvLine.h"
#include "points/CsvPointReader.h"
#include "points/PointLine.h"

namespace torvane {
namespace {

bool IsBlankLine(std::string_view line) {
  return line.find_first_not_of(" \t\b\r") == std::string_view::npos;
}

}  // namespace

std::vector<std::string> ReadHeaderNames(const std::string& path, char decimal_separator,
                                         char csv_decimal_separator) {
  std::ifstream file(path, std::ios::binary);
  const bool csv = IsCsvFileName(path);
  PointLineRules any;
  any.columns = {0, 1, 2, 3};
  any.alphabet = PointLineAlphabet(decimal_separator);
  std::string line;
  // A header stands near the top: a file of blank lines is not searched to its end.
  for (int lines = 0; lines < 1000 && std::getline(file, line); ++lines) {
    if (lines == 0 && line.starts_with("\xEF\xBB\xBF")) line.erase(0, 3);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (IsBlankLine(line)) continue;
    if (csv) return CsvHeaderNames(line, CsvSeparatorOf(line), csv_decimal_separator);
    if (line[0] == '/') continue;
    PointValues values;
    if (ClassifyPointLine(line, any, values) != RowVerdict::kNotData) return {};
    return PlainHeaderWords(line, any.alphabet);
  }
  return {};
}

}  // namespace torvane
