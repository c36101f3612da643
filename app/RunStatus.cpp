#include "app/RunStatus.h"

#include <algorithm>
#include <cstdio>

#include "app/Hvw.h"

namespace torvane {

std::string RunWorkCrs(const TfrmMain& form) {
  const SurveyCrs& crs = form.Parameters().crs;
  if (crs.crs.empty()) return "none (coordinates as in the file)";
  const PointSet& points = form.Points();
  if (points.count() == 0) return crs.work_crs.empty() ? crs.crs : crs.work_crs;
  double west = points.FileX(0), east = west, south = points.FileY(0), north = south;
  for (std::size_t i = 1; i < points.points.size(); ++i) {
    west = std::min(west, points.FileX(i));
    east = std::max(east, points.FileX(i));
    south = std::min(south, points.FileY(i));
    north = std::max(north, points.FileY(i));
  }
  return WorkCrsOf(crs, (west + east) / 2, (south + north) / 2);
}

std::string RunStatusLine(const TfrmMain& form, double seconds) {
  char time[32];
  std::snprintf(time, sizeof time, "%.2f s", seconds);
  if (form.CalcRefused()) return "";
  if (form.Stopped()) return std::string("Stopped after ") + time + "; no table written";
  if (!form.ResultsReady()) return std::string("Run failed after ") + time;
  const int points = form.Points().count();
  return std::to_string(points) + (points == 1 ? " point" : " points") + " read, " +
         std::to_string(form.EmptyRings()) + " with N = 0, work CRS: " + RunWorkCrs(form) +
         ", " + time;
}

}  // namespace torvane
