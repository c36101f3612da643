#include "points/StationLatitude.h"

#include <limits>
#include <new>

#include "points/ProjObjects.h"

namespace torvane {

bool StationLatitudes(Reporter& platform, const std::string& crs, const PointSet& points,
                      std::vector<double>& latitudes) {
  const std::size_t count = points.points.size();
  latitudes.resize(count);
  const ProjContextPtr context = NewProjContext();
  if (!context) throw std::bad_alloc();
  CrsKind kind = CrsKind::kUnknown;
  const ProjObjectPtr source = CreateCrs(context.get(), crs, kind);
  if (kind == CrsKind::kGeographic) {
    for (std::size_t i = 0; i < count; ++i) latitudes[i] = points.FileY(i);
    return true;
  }
  if (kind != CrsKind::kProjected) {
    platform.ShowInfo("Unknown coordinate reference system for the points: " + crs);
    return false;
  }
  const ProjObjectPtr geodetic(proj_crs_get_geodetic_crs(context.get(), source.get()));
  const ProjObjectPtr operation(
      geodetic ? proj_create_crs_to_crs_from_pj(context.get(), source.get(), geodetic.get(),
                                                nullptr, nullptr)
               : nullptr);
  // Longitude first, whatever order the datum's definition gives.
  const ProjObjectPtr ordered(
      operation ? proj_normalize_for_visualization(context.get(), operation.get()) : nullptr);
  if (!ordered) {
    platform.ShowInfo("No transformation from " + crs + " to the latitudes of its datum");
    return false;
  }
  std::vector<double> longitudes(count);
  for (std::size_t i = 0; i < count; ++i) {
    longitudes[i] = points.FileX(i);
    latitudes[i] = points.FileY(i);
  }
  proj_trans_generic(ordered.get(), PJ_FWD, longitudes.data(), sizeof(double), count,
                     latitudes.data(), sizeof(double), count, nullptr, 0, 0, nullptr, 0, 0);
  // PROJ marks a point it could not transform with HUGE_VAL.
  for (double& latitude : latitudes) {
    if (!(latitude >= -90 && latitude <= 90)) latitude = std::numeric_limits<double>::quiet_NaN();
  }
  return true;
}

}  // namespace torvane
