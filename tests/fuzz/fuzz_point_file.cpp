// The point file reader on any bytes, under both decimal separators and two
// column choices, and the CSV reader on the same bytes with columns by
// position and by name: each reads the points or says why not, and what it
// stores keeps the reader's promises.

#include <cmath>

#include "points/CsvPointReader.h"
#include "points/PointFileReader.h"
#include "tests/fuzz/FuzzEntries.h"

namespace torvane::fuzzing {
namespace {

std::string CheckRead(const std::string& path, char separator, const PointColumns& columns,
                      const ColumnNames* csv_names = nullptr) {
  CountingPlatform platform(separator);
  PointSet points;
  const bool read = csv_names
                        ? ReadCsvPointFile(platform, path, columns, *csv_names, separator, points)
                        : ReadPointFile(platform, path, columns, points);
  if (!read) {
    if (platform.messages != 1) return "a failed read must say why, once";
    return points.points.empty() ? "" : "a failed read must leave no points";
  }
  if (platform.messages != 0) return "a successful read said something";
  if (points.points.empty()) return "a successful read without points";
  if (!(points.min_x >= 0) || !(points.min_y >= 0)) return "a stored coordinate is negative";
  if (points.shift_x < 0 || points.shift_y < 0) return "a negative shift";
  for (const SurveyPoint& p : points.points) {
    if (!(p.x >= points.min_x && p.x <= points.max_x && p.y >= points.min_y &&
          p.y <= points.max_y)) {
      return "a point outside the bounding box";
    }
    if (p.height != 0 || p.residual != 0) return "height or residual not 0";
    if (std::isnan(p.point) || std::isnan(p.cba)) return "a value that is no number";
  }
  if (points.HasLabels()) {
    if (points.label_end.size() != points.points.size()) return "not one name a point";
    std::uint64_t end = 0;
    for (const std::uint64_t next : points.label_end) {
      if (next < end) return "names out of order";
      end = next;
    }
    if (end != points.label_text.size()) return "names beyond their text";
  }
  return "";
}

}  // namespace

std::string FuzzPointFile(Bytes data) {
  static InputFile file;
  const std::string& path = file.Hold(data);
  std::string problem = CheckRead(path, '.', PointColumns{0, 1, 2, 4});
  if (problem.empty()) problem = CheckRead(path, ',', PointColumns{3, 0, 1, 5});
  const ColumnNames by_position;
  const ColumnNames by_name = {"x", "B", "Station", "cba"};
  if (problem.empty()) problem = CheckRead(path, '.', PointColumns{0, 1, 2, 3}, &by_position);
  if (problem.empty()) problem = CheckRead(path, ',', PointColumns{0, 1, 2, 3}, &by_name);
  return problem;
}

}  // namespace torvane::fuzzing

TORVANE_FUZZ_TARGET(torvane::fuzzing::FuzzPointFile)
