#include "tests/fuzz/PointChecks.h"

#include <cmath>

#include "points/CsvPointReader.h"
#include "tests/fuzz/FuzzSupport.h"

namespace torvane::fuzzing {

std::string CheckPointRead(const std::string& path, char separator, const PointColumns& columns,
                           const ColumnNames& names, PointReader reader) {
  CountingPlatform platform(separator);
  PointSet points;
  const bool read = reader == PointReader::kCsv
                        ? ReadCsvPointFile(platform, path, columns, names, separator, points)
                        : ReadPointFile(platform, path, columns, points, names, separator);
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

}  // namespace torvane::fuzzing
