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

}  // namespace torvane
