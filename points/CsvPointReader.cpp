#include "points/CsvPointReader.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <new>
#include <optional>
#include <tuple>
#include <array>

#include "common/DecimalNumber.h"
#include "points/CsvLine.h"
#include "points/LineBlocks.h"
#include "points/PointBounds.h"

namespace torvane {
namespace {

bool IsBlank(std::string_view line) {
  return std::all_of(line.begin(), line.end(), [](char c) { return c == ' ' || c == '\t'; });
}

bool IsNonFinite(std::string_view field) {
  if (!field.empty() && (field.front() == '+' || field.front() == '-')) field.remove_prefix(1);
  std::string upper(field);
  for (char& c : upper) c = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
  return upper == "NAN" || upper == "INF" || upper == "INFINITY";
}

// The rows of the file after its header, and what they gave.
class CsvRows {
 public:
  // `decimal` is ',' where ',' decimals are read besides '.' (a file
  // separated by ';' where ',' was wished), else '.'.
  CsvRows(const PointColumns& columns, char decimal, std::size_t fields, PointSet& points)
      : columns_(columns), decimal_(decimal), fields_(fields), points_(points) {}

  void Take(const CsvFields& fields, std::uint64_t line, std::string_view text) {
    if (fields_ == 0) fields_ = fields.size();
    const RowVerdict verdict = Judge(fields, text, line);
    if (verdict != RowVerdict::kPoint) points_.skipped.Add(verdict, line);
  }
  void TakeMalformed(std::uint64_t line) { points_.skipped.Add(RowVerdict::kOpenQuote, line); }

  // Names are kept only where some point has no number.
  void Finish() {
    if (columns_.point == kNumberedPoints) points_.NumberInFileOrder();
    if (!all_numbered_) return;
    points_.label_text = std::string();
    points_.label_end = std::vector<std::uint64_t>();
  }

  const Box& box() const { return box_; }

 private:
  enum class Number { kFinite, kEmpty, kNonFinite, kCommaDecimal, kText };

  Number Convert(std::string_view field, double& value) const {
    if (field.empty()) return Number::kEmpty;
    if (ParseDecimal(field, '.', value) || ParseDecimal(field, decimal_, value)) {
      return Number::kFinite;
    }
    if (IsNonFinite(field) || IsDecimalBeyondRange(field, '.')) return Number::kNonFinite;
    return ParseDecimal(field, ',', value) ? Number::kCommaDecimal : Number::kText;
  }

  RowVerdict Judge(const CsvFields& fields, std::string_view text, std::uint64_t line) {
    if (fields.size() != fields_) return RowVerdict::kFieldCount;
    const auto present = [&](int column) {
      return column >= 0 && static_cast<std::size_t>(column) < fields.size();
    };
    SurveyPoint p;
    const std::array<std::tuple<int, double*, RowVerdict, RowVerdict>, 4> wanted{{
        {columns_.x, &p.x, RowVerdict::kNoX, RowVerdict::kXNotNumber},
        {columns_.y, &p.y, RowVerdict::kNoY, RowVerdict::kYNotNumber},
        {columns_.cba, &p.cba, RowVerdict::kNoCba, RowVerdict::kCbaNotNumber},
        {columns_.height, &p.height, RowVerdict::kNoHeight, RowVerdict::kHeightNotNumber},
    }};
    for (const auto& [column, value, missing, text_value] : wanted) {
      if (value == &p.height && column < 0) continue;  // no height read
      if (!present(column)) return missing;
      switch (Convert(fields[static_cast<std::size_t>(column)], *value)) {
        case Number::kFinite: break;
        case Number::kEmpty: return missing;
        case Number::kNonFinite: return RowVerdict::kNotFinite;
        case Number::kCommaDecimal:
          points_.skipped.NoteCommaLine(line, text);
          return RowVerdict::kCommaDecimals;
        case Number::kText: return text_value;
      }
    }
    const bool numbered = columns_.point == kNumberedPoints;
    if (!numbered && !present(columns_.point)) return RowVerdict::kNoPoint;
    const std::string_view name = numbered ? std::string_view() : fields[static_cast<std::size_t>(columns_.point)];
    if (!numbered && Convert(name, p.point) != Number::kFinite) {
      p.point = 0;
      all_numbered_ = false;
    }
    if (points_.points.size() == kMostPoints) throw std::bad_alloc();
    points_.points.push_back(p);
    if (!numbered) {
      points_.label_text.append(name);
      points_.label_end.push_back(points_.label_text.size());
    }
    box_.Add(p.x, p.y);
    return RowVerdict::kPoint;
  }

  static constexpr std::size_t kMostPoints = std::numeric_limits<std::int32_t>::max();
  PointColumns columns_;
  char decimal_;
  std::size_t fields_;  // of the file's data rows: the header's, or the first row's
  PointSet& points_;
  bool all_numbered_ = true;
  Box box_;
};

}  // namespace

bool IsCsvFileName(const std::string& path) {
  if (path.size() < 4) return false;
  std::string end = path.substr(path.size() - 4);
  std::transform(end.begin(), end.end(), end.begin(), [](char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
  });
  return end == ".csv";
}

bool ReadCsvPointFile(Reporter& platform, const std::string& path, PointColumns columns,
                      const ColumnNames& names, char decimal_separator, PointSet& points,
                      bool keep_file_coordinates, const KeepGoing& keep_going) {
  points.Clear();
  try {
    LineBlocks file;
    if (!OpenPointFile(platform, path, file)) return false;
    CsvFields fields;
    char separator = 0;  // none before the first line that is not blank
    std::string problem;
    std::optional<CsvRows> rows;  // from the first line that is not blank
    std::uint64_t line_number = 0;
    const auto take_line = [&](std::string_view line) {
      ++line_number;
      if (!problem.empty() || IsBlank(line)) return;
      if (separator == 0) {
        separator = CsvSeparatorOf(line);
        // Fields separated by ',' cannot hold decimal commas.
        if (separator == ',') decimal_separator = '.';
        const std::vector<std::string> header = CsvHeaderNames(line, separator, decimal_separator);
        if (!ResolveColumnNames(header, names, columns, problem)) return;
        rows.emplace(columns, decimal_separator, header.size(), points);
        if (!header.empty()) return;
      }
      if (fields.Split(line, separator)) {
        rows->Take(fields, line_number, line);
      } else {
        rows->TakeMalformed(line_number);
      }
    };
    for (;;) {
      std::string_view block;
      if (!file.Next(block)) {
        points.Clear();
        platform.ShowFileError("Cannot open input data file", path, file.error());
        return false;
      }
      if (block.empty() || !problem.empty()) break;
      ForEachLine(block, take_line);
      if (!MayGoOn(keep_going)) {
        points.Clear();
        return false;
      }
    }
    if (!problem.empty()) {
      points.Clear();
      platform.ShowInfo(path + ": " + problem);
      return false;
    }
    if (rows) rows->Finish();
    if (points.points.empty()) {
      points.ClearKeepingSkipped();
      platform.ShowFileError("Input file contains no valid xyz data", path, 0);
      return false;
    }
    if (!SetBounds(rows->box(), points)) {
      points.ClearKeepingSkipped();
      platform.ShowFileError("Input file contains coordinates out of range", path, 0);
      return false;
    }
    if (keep_file_coordinates) KeepFileCoordinates(points);
    ShiftPoints(points);
  } catch (const std::bad_alloc&) {
    points.Clear();
    platform.ShowInfo("Error by allocating memory for data");
    return false;
  }
  return true;
}

}  // namespace torvane
