#include "points/SurveyReduction.h"

#include <cmath>

#include "points/DropPoints.h"
#include "points/StationLatitude.h"

namespace torvane {

bool ReduceSurvey(Reporter& platform, const GravityReduction& reduction, const std::string& crs,
                  const std::string& path, const std::string& gravity_column, PointSet& points,
                  ReducedSurvey* reduced) {
  std::vector<double> latitudes;
  if (!StationLatitudes(platform, crs, points, latitudes)) {
    points.Clear();
    return false;
  }
  std::vector<bool> keep(points.points.size());
  for (std::size_t i = 0; i < keep.size(); ++i) keep[i] = std::fabs(latitudes[i]) <= 90;
  std::size_t kept = 0;
  for (std::size_t i = 0; i < keep.size(); ++i) {
    if (keep[i]) latitudes[kept++] = latitudes[i];
  }
  latitudes.resize(kept);
  if (const std::size_t dropped = DropPoints(points, keep)) {
    platform.ShowMessage(path + ": " + std::to_string(dropped) + " of " +
                             std::to_string(keep.size()) +
                             " stations skipped: latitude outside +-90 degrees",
                         "Note", MessageButtons::kOk);
  }
  if (points.points.empty()) {
    platform.ShowFileError("Input file contains no valid xyz data", path, 0);
    return false;
  }
  const std::size_t count = points.points.size();
  if (reduced) {
    for (auto* column : {&reduced->gravity, &reduced->height, &reduced->normal_gravity,
                         &reduced->free_air}) {
      column->assign(count, 0);
    }
  }
  std::size_t anomalies = 0;
  for (std::size_t i = 0; i < count; ++i) {
    SurveyPoint& p = points.points[i];
    const double gravity = p.cba;
    if (std::fabs(gravity) < kLeastAbsoluteGravity) ++anomalies;
    const ReducedGravity r = ReduceGravity(reduction, latitudes[i], p.height, gravity);
    if (reduced) {
      reduced->gravity[i] = gravity;
      reduced->height[i] = p.height;
      reduced->normal_gravity[i] = r.normal_gravity;
      reduced->free_air[i] = r.free_air;
    }
    p.cba = r.bouguer;
  }
  if (anomalies > 0) {
    platform.ShowMessage(
        path + ": column '" + gravity_column + "': " + std::to_string(anomalies) + " of " +
            std::to_string(count) + " values below 10000 mGal: values look like anomalies, not "
            "absolute gravity",
        "Warning", MessageButtons::kOk);
  }
  return true;
}

// Absolute gravity read as an anomaly gives residuals of the right shape but
// says nothing of the field's reductions: the user most likely meant to
// reduce it.
void WarnIfAbsoluteGravity(Reporter& platform, const PointSet& points, const std::string& column) {
  if (points.points.empty()) return;
  for (const SurveyPoint& p : points.points) {
    if (!(p.cba > kLeastGravityTakenForAnomaly)) return;
  }
  platform.ShowMessage("Column '" + column +
                           "' holds values above 900000 mGal in every row: it looks like "
                           "absolute gravity, not a Bouguer anomaly (give it as the gravity "
                           "column, with the height column, to reduce it)",
                       "Warning", MessageButtons::kOk);
}

}  // namespace torvane
