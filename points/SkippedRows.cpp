#include "points/SkippedRows.h"

namespace torvane {
namespace {

constexpr std::string_view kReasonText[kRowVerdictCount] = {
    "", "", "wrong number of fields", "no X", "no Y", "no CBA", "no point", "no height",
    "X not a number", "Y not a number", "CBA not a number", "height not a number", "NaN or infinite value", "',' decimals",
    "unclosed quote",
};

}  // namespace

void SkippedRows::Add(const SkippedRows& later) {
  for (std::size_t k = 0; k < count.size(); ++k) {
    for (std::uint64_t i = 0; i < later.count[k] && i < kListedLines; ++i) {
      if (count[k] + i < kListedLines) lines[k][count[k] + i] = later.lines[k][i];
    }
    count[k] += later.count[k];
  }
  if (comma_line == 0 && later.comma_line != 0) NoteCommaLine(later.comma_line, later.comma_text);
}

void SkippedRows::NoteCommaLine(std::uint64_t line, std::string_view text) {
  if (comma_line != 0) return;
  comma_line = line;
  constexpr std::size_t kShown = 80;
  comma_text = text.substr(0, kShown);
  if (text.size() > kShown) comma_text += "...";
}

std::uint64_t SkippedRows::Total() const {
  std::uint64_t total = 0;
  for (const std::uint64_t n : count) total += n;
  return total;
}

std::string SkippedRowsText(const SkippedRows& skipped) {
  const std::uint64_t total = skipped.Total();
  if (total == 0) return {};
  std::string text = std::to_string(total) + (total == 1 ? " row" : " rows") + " skipped (";
  int listed = 0;
  bool first = true;
  for (std::size_t k = 0; k < skipped.count.size(); ++k) {
    const std::uint64_t n = skipped.count[k];
    if (n == 0) continue;
    if (!first) text += "; ";
    first = false;
    // Each reason's count is shown where the total is not its own.
    if (n != total) text += std::to_string(n) + " ";
    if (skipped.cba_is_gravity && k == static_cast<std::size_t>(RowVerdict::kNoCba)) {
      text += "no gravity";
    } else if (skipped.cba_is_gravity &&
               k == static_cast<std::size_t>(RowVerdict::kCbaNotNumber)) {
      text += "gravity not a number";
    } else {
      text += kReasonText[k];
    }
    std::uint64_t shown = 0;
    for (; shown < n && shown < SkippedRows::kListedLines && listed < SkippedRows::kListedLines;
         ++shown, ++listed) {
      text += shown == 0 ? (n == 1 ? ": line " : ": lines ") : ", ";
      text += std::to_string(skipped.lines[k][shown]);
    }
    if (shown > 0 && shown < n) text += ", ...";
  }
  return text + ")";
}

std::string CommaDecimalsText(const SkippedRows& skipped, std::string_view path,
                              std::string_view remedy) {
  if (skipped.comma_line == 0) return {};
  return std::string(path) + " line " + std::to_string(skipped.comma_line) +
         " writes decimals with ',' (\"" + skipped.comma_text +
         "\"), where '.' is the decimal separator: such rows are skipped, not read as extra "
         "columns. If ',' is the file's decimal separator, give " + std::string(remedy);
}

}  // namespace torvane
