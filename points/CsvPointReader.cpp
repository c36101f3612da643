#include "points/CsvPointReader.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <new>
#include <optional>

#include "common/DecimalNumber.h"
#include "points/CsvLine.h"
#include "points/LineBlocks.h"
#include "points/PointBounds.h"

namespace torvane {
namespace {

bool IsBlank(std::string_view line) {
  return std::all_of(line.begin(), line.end(), [](char c) { return c == ' ' || c == '\t'; });
}

// The rows of the file after its header, and what they gave.
class CsvRows {
 public:
  CsvRows(const PointColumns& columns, char decimal, PointSet& points)
      : columns_(columns), decimal_(decimal), points_(points) {
    highest_ = static_cast<std::size_t>(
        std::max({columns.x, columns.y, columns.point, columns.cba, columns.height}));
    chosen_ = std::min({columns.x, columns.y, columns.point, columns.cba}) >= 0;
  }

  void Take(const CsvFields& fields) {
    if (!chosen_ || fields.size() <= highest_) return;
    const auto field = [&](int column) { return fields[static_cast<std::size_t>(column)]; };
    SurveyPoint p;
    if (!ParseDecimal(field(columns_.x), decimal_, p.x) ||
        !ParseDecimal(field(columns_.y), decimal_, p.y) ||
        !ParseDecimal(field(columns_.cba), decimal_, p.cba) ||
        (columns_.height >= 0 && !ParseDecimal(field(columns_.height), decimal_, p.height))) {
      return;
    }
    const std::string_view name = field(columns_.point);
    if (!ParseDecimal(name, decimal_, p.point)) {
      p.point = 0;
      all_numbered_ = false;
    }
    if (points_.points.size() == kMostPoints) throw std::bad_alloc();
    points_.points.push_back(p);
    points_.label_text.append(name);
    points_.label_end.push_back(points_.label_text.size());
    box_.Add(p.x, p.y);
  }

  // Names are kept only where some point has no number.
  void Finish() {
    if (!all_numbered_) return;
    points_.label_text = std::string();
    points_.label_end = std::vector<std::uint64_t>();
  }

  const Box& box() const { return box_; }

 private:
  static constexpr std::size_t kMostPoints = std::numeric_limits<std::int32_t>::max();
  PointColumns columns_;
  char decimal_;
  PointSet& points_;
  std::size_t highest_ = 0;
  bool chosen_ = true;  // no column left unchosen
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
    const auto take_line = [&](std::string_view line) {
      if (!problem.empty() || IsBlank(line)) return;
      if (separator == 0) {
        separator = CsvSeparatorOf(line);
        // Fields separated by ',' cannot hold decimal commas.
        if (separator == ',') decimal_separator = '.';
        const std::vector<std::string> header = CsvHeaderNames(line, separator, decimal_separator);
        if (!ResolveColumnNames(header, names, columns, problem)) return;
        rows.emplace(columns, decimal_separator, points);
        if (!header.empty()) return;
      }
      if (fields.Split(line, separator)) rows->Take(fields);
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
      platform.ShowFileError("Input file contains no valid xyz data", path, 0);
      return false;
    }
    if (!SetBounds(rows->box(), points)) {
      points.Clear();
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
