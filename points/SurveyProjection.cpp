#include "points/SurveyProjection.h"

#include <algorithm>
#include <cmath>
#include <new>

#include "points/PointBounds.h"
#include "points/ProjObjects.h"

namespace torvane {

std::string UtmZoneCrs(double longitude, double latitude) {
  const double wrapped = longitude - 360.0 * std::floor((longitude + 180.0) / 360.0);
  int zone = static_cast<int>(std::floor((wrapped + 180.0) / 6.0)) + 1;
  if (zone < 1) zone = 1;
  if (zone > 60) zone = 60;
  return "EPSG:" + std::to_string((latitude >= 0 ? 32600 : 32700) + zone);
}

std::string WorkCrsOf(const SurveyCrs& crs, double centre_x, double centre_y) {
  if (!crs.work_crs.empty() || crs.crs.empty()) return crs.work_crs;
  if (DescribeCrs(crs.crs) != CrsKind::kGeographic) return crs.crs;
  return UtmZoneCrs(centre_x, centre_y);
}

bool ProjectSurvey(Reporter& platform, const SurveyCrs& crs, PointSet& points,
                   std::string& work_crs, const KeepGoing& keep_going) {
  work_crs.clear();
  if (crs.crs.empty()) return true;
  if (points.points.empty()) {
    work_crs = crs.work_crs.empty() ? crs.crs : crs.work_crs;
    return true;
  }
  const auto refuse = [&](const std::string& text) {
    points.Clear();
    platform.ShowInfo(text);
    return false;
  };
  const ProjContextPtr context = NewProjContext();
  if (!context) throw std::bad_alloc();
  CrsKind kind = CrsKind::kUnknown;
  const ProjObjectPtr source = CreateCrs(context.get(), crs.crs, kind);
  if (kind != CrsKind::kGeographic && kind != CrsKind::kProjected) {
    return refuse("Unknown coordinate reference system for the points: " + crs.crs);
  }
  if (crs.work_crs.empty() && kind == CrsKind::kProjected) {  // metres already
    work_crs = crs.crs;
    return true;
  }
  const std::string work = WorkCrsOf(crs, (points.min_x + points.max_x) / 2 - points.shift_x,
                                     (points.min_y + points.max_y) / 2 - points.shift_y);
  CrsKind work_kind = CrsKind::kUnknown;
  const ProjObjectPtr target = CreateCrs(context.get(), work, work_kind);
  if (work_kind != CrsKind::kProjected) {
    return refuse("The work coordinate reference system must be a projected one in metres: " +
                  work);
  }
  const ProjObjectPtr operation(
      proj_create_crs_to_crs_from_pj(context.get(), source.get(), target.get(), nullptr, nullptr));
  // Longitude (or easting) first, whatever order the CRS's definition gives.
  const ProjObjectPtr ordered(
      operation ? proj_normalize_for_visualization(context.get(), operation.get()) : nullptr);
  if (!ordered) return refuse("No transformation from " + crs.crs + " to " + work);

  const std::size_t count = points.points.size();
  points.file_xy.resize(2 * count);
  for (std::size_t i = 0; i < count; ++i) {
    SurveyPoint& p = points.points[i];
    p.x -= points.shift_x;
    p.y -= points.shift_y;
    points.file_xy[2 * i] = p.x;
    points.file_xy[2 * i + 1] = p.y;
  }
  // In stretches, so that a stop is seen within a fraction of a second.
  constexpr std::size_t kStride = sizeof(SurveyPoint);
  constexpr std::size_t kStretch = std::size_t{1} << 16;
  for (std::size_t first = 0; first < count; first += kStretch) {
    const std::size_t n = std::min(kStretch, count - first);
    SurveyPoint& p = points.points[first];
    proj_trans_generic(ordered.get(), PJ_FWD, &p.x, kStride, n, &p.y, kStride, n, nullptr, 0, 0,
                       nullptr, 0, 0);
    if (!MayGoOn(keep_going)) {
      points.Clear();
      return false;
    }
  }
  Box box;
  for (std::size_t i = 0; i < count; ++i) {
    const SurveyPoint& p = points.points[i];
    if (!std::isfinite(p.x) || !std::isfinite(p.y) || std::fabs(p.x) > 1e15 ||
        std::fabs(p.y) > 1e15) {
      return refuse("Point " + std::to_string(i + 1) + " at (" +
                    std::to_string(points.file_xy[2 * i]) + ", " +
                    std::to_string(points.file_xy[2 * i + 1]) + ") cannot be projected from " +
                    crs.crs + " to " + work);
    }
    box.Add(p.x, p.y);
  }
  if (!SetBounds(box, points)) return refuse("Input file contains coordinates out of range");
  ShiftPoints(points);
  points.file_degrees = kind == CrsKind::kGeographic;
  work_crs = work;
  return true;
}

}  // namespace torvane
