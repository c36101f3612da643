#pragma once
// The rows of a point file that looked like data but gave no station, with
// why and where: every reader counts them, and every front end says so
// ("3 rows skipped (no CBA: lines 17, 204, 3311)"). Header, comment and
// blank lines are no data and are not counted.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace torvane {

// Why a line gave no station. kPoint and kNotData are verdicts, not reasons:
// they are never counted.
enum class RowVerdict : unsigned char {
  kPoint,
  kNotData,         // blank, a comment, a header: no number in the X column
  kFieldCount,      // another number of fields than the file's data rows
  kNoX,             // the chosen field is missing or empty
  kNoY,
  kNoCba,
  kNoPoint,
  kNoHeight,        // a run that reduces gravity reads heights too
  kXNotNumber,      // text that is no whole number (-3O.0, 12:30)
  kYNotNumber,
  kCbaNotNumber,
  kHeightNotNumber,
  kNotFinite,       // NaN or infinity
  kCommaDecimals,   // ',' between digits where '.' is the decimal separator
  kOpenQuote,       // a CSV field whose quote is not closed on its line
};
inline constexpr int kRowVerdictCount = static_cast<int>(RowVerdict::kOpenQuote) + 1;

struct SkippedRows {
  static constexpr int kListedLines = 5;

  // Rows skipped for each reason, and the first line numbers (from 1).
  std::array<std::uint64_t, kRowVerdictCount> count{};
  std::array<std::array<std::uint64_t, kListedLines>, kRowVerdictCount> lines{};
  // The first line that seems to write decimals with ',' where '.' is the
  // decimal separator (0: none), and its text.
  std::uint64_t comma_line = 0;
  std::string comma_text;
  // The CBA column holds absolute gravity (a run that reduces it): its
  // reasons say "gravity".
  bool cba_is_gravity = false;

  void Add(RowVerdict reason, std::uint64_t line) {
    const auto k = static_cast<std::size_t>(reason);
    if (count[k] < kListedLines) lines[k][count[k]] = line;
    ++count[k];
  }
  // Adds the rows of a later part of the same file.
  void Add(const SkippedRows& later);
  void NoteCommaLine(std::uint64_t line, std::string_view text);
  std::uint64_t Total() const;
};

// "3 rows skipped (no CBA: lines 17, 204, 3311)": at most five line
// numbers; empty when none was skipped.
std::string SkippedRowsText(const SkippedRows& skipped);

// The warning for a file that seems to write decimals with ',' where '.' is
// the separator; `remedy` says how to ask for ',' ("--decimal-separator ,").
// Empty when there is no such line.
std::string CommaDecimalsText(const SkippedRows& skipped, std::string_view path,
                              std::string_view remedy);

}  // namespace torvane
