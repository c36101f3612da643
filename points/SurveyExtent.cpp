#include "points/SurveyExtent.h"

#include <algorithm>
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

void SurveyBox::Add(const SurveyBox& other) {
  min_x = std::min(min_x, other.min_x);
  max_x = std::max(max_x, other.max_x);
  min_y = std::min(min_y, other.min_y);
  max_y = std::max(max_y, other.max_y);
}

bool PlaceSurvey(const SurveyBox& box, StoredCoordinates stored, PointSet& points) {
  points.min_x = box.min_x;
  points.max_x = box.max_x;
  points.min_y = box.min_y;
  points.max_y = box.max_y;
  ApplyShift(points.min_x, points.max_x, points.shift_x);
  ApplyShift(points.min_y, points.max_y, points.shift_y);
  const bool in_range = std::isfinite(points.max_x) && std::isfinite(points.max_y);
  if (stored == StoredCoordinates::kAsGiven) {
    points.min_x = box.min_x;
    points.max_x = box.max_x;
    points.min_y = box.min_y;
    points.max_y = box.max_y;
    points.shift_x = points.shift_y = 0;
  }
  return in_range;
}

}  // namespace torvane
