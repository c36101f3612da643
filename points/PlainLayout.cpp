#include "points/PlainLayout.h"

#include <map>

#include "points/ColumnNames.h"
#include "points/LineBlocks.h"

namespace torvane {
namespace {

// Enough lines to see a file's habits, few enough to cost nothing.
constexpr int kJudgedLines = 1000;

bool IsBlankOrComment(std::string_view line) {
  const std::size_t first = line.find_first_not_of(" \t\b\r");
  return first == std::string_view::npos || line[0] == '/';
}

}  // namespace

PlainLayout FindPlainLayout(std::string_view head, char wished) {
  PlainLayout layout;
  // Lines that write '.' decimals, and lines that seem to write ',' ones.
  int point_lines = 0, comma_lines = 0;
  std::uint64_t line_number = 0;
  int judged = 0;
  ForEachLine(head, [&](std::string_view line) {
    ++line_number;
    if (judged == kJudgedLines || IsBlankOrComment(line)) return;
    ++judged;
    point_lines += HoldsPointDecimals(line);
    if (HoldsCommaDecimals(line)) {
      ++comma_lines;
      if (layout.comma_line == 0) {
        layout.comma_line = line_number;
        layout.comma_text = line;
      }
    }
  });
  // The file's habit decides; a stray line of the other kind is skipped.
  layout.decimal = wished == ',' && comma_lines >= point_lines ? ',' : '.';
  if (wished == ',' || comma_lines <= point_lines) {
    layout.comma_line = 0;
    layout.comma_text.clear();
  }

  PointLineRules any;
  any.columns = {0, 1, 2, 3};
  any.alphabet = PointLineAlphabet(layout.decimal);
  bool decided = false;
  ForEachLine(head, [&](std::string_view line) {
    if (decided || IsBlankOrComment(line)) return;
    decided = true;
    PointValues values;
    if (ClassifyPointLine(line, any, values) == RowVerdict::kNotData) {
      layout.header = PlainHeaderWords(line, any.alphabet);
    }
  });
  return layout;
}

int DataFieldCount(std::string_view head, const PointLineRules& rules) {
  PointLineRules any_count = rules;
  any_count.fields = 0;
  std::map<int, std::pair<int, int>> seen;  // fields: (rows, order first seen)
  int judged = 0;
  ForEachLine(head, [&](std::string_view line) {
    if (judged == kJudgedLines) return;
    PointValues values;
    // Only rows that would give a point vote: a run of short rows must not
    // make every whole one look wrong.
    if (ClassifyPointLine(line, any_count, values) != RowVerdict::kPoint) return;
    ++judged;
    auto [place, added] = seen.try_emplace(values.fields, 0, static_cast<int>(seen.size()));
    ++place->second.first;
  });
  int fields = 0;
  std::pair<int, int> best{0, 0};
  for (const auto& [count, rows_order] : seen) {
    if (rows_order.first > best.first ||
        (rows_order.first == best.first && rows_order.second < best.second)) {
      best = rows_order;
      fields = count;
    }
  }
  return fields;
}

}  // namespace torvane
