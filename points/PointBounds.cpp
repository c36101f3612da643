#include "points/PointBounds.h"

#include <cmath>

namespace torvane {
namespace {

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

bool SetBounds(const Box& box, PointSet& points) {
  points.min_x = box.min_x;
  points.max_x = box.max_x;
  points.min_y = box.min_y;
  points.max_y = box.max_y;
  ApplyShift(points.min_x, points.max_x, points.shift_x);
  ApplyShift(points.min_y, points.max_y, points.shift_y);
  return std::isfinite(points.max_x) && std::isfinite(points.max_y);
}

void ShiftPoints(PointSet& points) {
  if (points.shift_x == 0 && points.shift_y == 0) return;
  for (SurveyPoint& p : points.points) {
    p.x += points.shift_x;
    p.y += points.shift_y;
  }
}

void KeepFileCoordinates(PointSet& points) {
  if (!points.file_xy.empty()) return;
  points.file_xy.resize(2 * points.points.size());
  for (std::size_t i = 0; i < points.points.size(); ++i) {
    points.file_xy[2 * i] = points.points[i].x;
    points.file_xy[2 * i + 1] = points.points[i].y;
  }
}

}  // namespace torvane
