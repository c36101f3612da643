#include "app/cli/SurveyWarnings.h"

#include <cmath>
#include <string>

#include "app/cli/CliMessages.h"
#include "common/ShortestText.h"

namespace torvane {

void WarnAboutUnits(const PointSet& points, const std::vector<double>& radii, bool projected) {
  if (points.points.empty()) return;
  const double diagonal = std::hypot(points.max_x - points.min_x, points.max_y - points.min_y);
  std::string beyond;
  for (const double radius : radii) {
    // A survey on one spot has no diagonal: every ring is empty, as the
    // run's own warning says.
    if (diagonal > 0 && radius > diagonal) beyond += (beyond.empty() ? "" : ", ") + PlainText(radius);
  }
  if (!beyond.empty()) {
    PrintMessage("Warning", "R = " + beyond + " is beyond the survey's diagonal (" +
                                PlainText(diagonal, 6) +
                                "): no station has another that far. R is in the "
                                "coordinates' units (metres)");
  }
  if (projected) return;
  const double min_x = points.min_x - points.shift_x, max_x = points.max_x - points.shift_x;
  const double min_y = points.min_y - points.shift_y, max_y = points.max_y - points.shift_y;
  if (std::fabs(min_x) <= 180 && std::fabs(max_x) <= 180 && std::fabs(min_y) <= 90 &&
      std::fabs(max_y) <= 90) {
    PrintMessage("Warning",
                 "the coordinates look like degrees (all |X| <= 180, |Y| <= 90) but no --crs "
                 "was given: R and D are taken in the coordinates' units. For longitude and "
                 "latitude give --crs EPSG:4326, which computes in metres");
  }
}

}  // namespace torvane
