#pragma once
// The survey points of one run, as read from the point file.

#include <cstdint>
#include <vector>

namespace torvane {

// One stored point: six doubles, whose order matters (the previews pick the
// value to grid by its slot number: 4 the input CBA, 5 the residual).
struct SurveyPoint {
  double x = 0;         // file X plus shift_x
  double y = 0;         // file Y plus shift_y
  double point = 0;     // the point number
  double height = 0;    // no column feeds it; always 0
  double cba = 0;       // complete Bouguer anomaly
  double residual = 0;  // the ring-average residual, once computed
};
static_assert(sizeof(SurveyPoint) == 6 * sizeof(double));

struct PointSet {
  // In file order; a point's index here is the index the cluster stores.
  std::vector<SurveyPoint> points;
  // Bounding box of the stored (shifted) coordinates.
  double min_x = 0, max_x = 0, min_y = 0, max_y = 0;
  // Added to every file coordinate so that none stored is negative.
  double shift_x = 0, shift_y = 0;

  std::int32_t count() const { return static_cast<std::int32_t>(points.size()); }
  void Clear() { *this = PointSet(); }
};

}  // namespace torvane
