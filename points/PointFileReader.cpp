#include "points/PointFileReader.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <new>

#include "common/FileBuffer.h"

namespace torvane {
namespace {

// Calls `visit` with every line of the text, without its line end. LF ends a
// line; a CR right before it belongs to the line end. A last line without a
// line feed counts too.
template <typename Visit>
void ForEachLine(std::string_view text, Visit&& visit) {
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    const std::size_t next = end == std::string_view::npos ? text.size() : end + 1;
    if (end == std::string_view::npos) end = text.size();
    std::size_t content_end = end;
    if (content_end > start && text[content_end - 1] == '\r') --content_end;
    visit(text.substr(start, content_end - start));
    start = next;
  }
}

struct CountResult {
  std::int64_t count = 0;
  double min_x = 1e38, max_x = -1e38, min_y = 1e38, max_y = -1e38;
};

CountResult CountPoints(std::string_view text, const PointColumns& columns, char separator) {
  CountResult result;
  std::string scratch;
  PointValues values;
  ForEachLine(text, [&](std::string_view line) {
    if (!ClassifyPointLine(line, columns, separator, scratch, values)) return;
    if (values.x < result.min_x) result.min_x = values.x;
    if (values.x > result.max_x) result.max_x = values.x;
    if (values.y < result.min_y) result.min_y = values.y;
    if (values.y > result.max_y) result.max_y = values.y;
    ++result.count;
  });
  return result;
}

// Stores at most `points.points.size()` points, the number counted before.
void StorePoints(std::string_view text, const PointColumns& columns, char separator,
                 PointSet& points) {
  std::string scratch;
  PointValues values;
  std::size_t stored = 0;
  ForEachLine(text, [&](std::string_view line) {
    if (stored == points.points.size()) return;
    if (!ClassifyPointLine(line, columns, separator, scratch, values)) return;
    SurveyPoint& p = points.points[stored++];
    p.x = values.x + points.shift_x;
    p.y = values.y + points.shift_y;
    p.point = values.point;
    p.cba = values.cba;
  });
}

// The shift that makes the smallest coordinate 0 when it is negative.
void ApplyShift(double& min, double& max, double& shift) {
  shift = 0;
  if (min < 0) {
    shift = std::fabs(min);
    min = 0;
    max = max + shift;
  }
}

}  // namespace

bool ReadPointFile(Platform& platform, const std::string& input_path,
                   const PointColumns& columns, PointSet& points) {
  points.Clear();
  FileBuffer file;
  switch (file.Load(input_path)) {
    case FileReadResult::kOk:
      break;
    case FileReadResult::kOutOfMemory:
      platform.ShowInfo("Error by allocating memory for data");
      return false;
    case FileReadResult::kCannotOpen:
    case FileReadResult::kReadError:
      platform.ShowInfo("Cannot open input data file");
      return false;
  }
  const char separator = platform.DecimalSeparator();

  const CountResult counted = CountPoints(file.view(), columns, separator);
  if (counted.count < 1) {
    platform.ShowInfo("Input file contains no valid xyz data");
    return false;
  }
  points.min_x = counted.min_x;
  points.max_x = counted.max_x;
  points.min_y = counted.min_y;
  points.max_y = counted.max_y;
  ApplyShift(points.min_x, points.max_x, points.shift_x);
  ApplyShift(points.min_y, points.max_y, points.shift_y);

  try {
    if (counted.count > std::numeric_limits<std::int32_t>::max()) throw std::bad_alloc();
    points.points.resize(static_cast<std::size_t>(counted.count));
  } catch (const std::bad_alloc&) {
    points.Clear();
    platform.ShowInfo("Error by allocating memory for data");
    return false;
  }
  StorePoints(file.view(), columns, separator, points);
  return true;
}

}  // namespace torvane
