#include "app/RunMap.h"

#include <cmath>
#include <string>

#include "common/ShortestText.h"
#include "points/CoordinateSystem.h"
#include "preview/StationGridder.h"
#include "run/Run.h"

namespace torvane {
namespace {

std::string FileName(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string Title(const RunRequest& request, std::string_view name) {
  const RingRequest& p = request.ring;
  std::string ring = "R = " + PlainText(p.radius) + " m, ";
  ring += p.use_grid ? "N = " + std::to_string(p.ring_points)
                     : "D = " + PlainText(p.band) + " m";
  return std::string(name) + " (" + ring + ") \u2014 " + FileName(request.stations.path);
}

// What every map of the run shares: the stations, the title, the shift.
void SetUpScene(const RunRequest& request, const RunResult& result, std::string_view name,
                RunMap& map) {
  map.scene = MapScene();
  map.scene.stations = {result.points.points.data(), result.points.points.size()};
  map.scene.title = Title(request, name);
  map.scene.value_caption = std::string(name);
  map.scene.shift_x = result.points.shift_x;
  map.scene.shift_y = result.points.shift_y;
  if (!result.work_crs.empty()) map.scene.crs_name = CrsDisplayName(result.work_crs);
  map.station_blanked.clear();
  for (const SurveyPoint& p : result.points.points) {
    map.station_blanked.push_back(std::isfinite(p.residual) ? 0 : 1);
  }
  map.scene.station_blanked = map.station_blanked;
}

MapQuantity QuantityOf(MapVariable variable) {
  switch (variable) {
    case MapVariable::kCba:
      return MapQuantity::kCba;
    case MapVariable::kResidual:
      return MapQuantity::kResidual;
    case MapVariable::kRingCount:
      return MapQuantity::kRingCount;
    case MapVariable::kGap:
      return MapQuantity::kGap;
  }
  return MapQuantity::kValue;
}

bool HasResults(Reporter& reporter, const RunRequest& request, RunResult& result) {
  if (!result.completed) {
    reporter.ShowInfo("No results to map: run the calculation first");
    return false;
  }
  return EnsureCluster(reporter, request, result);
}

}  // namespace

std::string_view MapVariableName(MapVariable variable) {
  switch (variable) {
    case MapVariable::kCba:
      return "CBA";
    case MapVariable::kResidual:
      return "Residual";
    case MapVariable::kRingCount:
      return "N";
    case MapVariable::kGap:
      return "GAP";
  }
  return "";
}

double DefaultMapCell(const RunRequest& request, const RunResult& result) {
  const auto& points = result.points.points;
  std::vector<double> x(points.size()), y(points.size());
  for (std::size_t k = 0; k < points.size(); ++k) {
    x[k] = points[k].x;
    y[k] = points[k].y;
  }
  const double cell = DefaultStationCell(x, y);
  return cell > 0 ? cell : request.GriddingRadius() / 5;
}

bool MakeRunMap(Reporter& reporter, const RunRequest& request, RunResult& result,
                MapVariable variable, double cell, bool stations, const GriddingOptions& options,
                RunMap& map) {
  if (!HasResults(reporter, request, result)) return false;
  if (variable == MapVariable::kGap) {
    if (!EnsureRingQualities(reporter, request, result)) return false;
    std::vector<float> gaps;
    gaps.reserve(result.rings.qualities.size());
    for (const RingQuality& quality : result.rings.qualities) {
      gaps.push_back(static_cast<float>(quality.gap));
    }
    if (!MakeStationMap(reporter, request, result, "GAP", gaps, map)) return false;
    map.variable = variable;
    map.scene.quantity = MapQuantity::kGap;
    map.scene.value_caption = QuantityLabel(MapQuantity::kGap);
    return true;
  }
  const double gridding = request.GriddingRadius();
  const double step = cell > 0 ? cell : DefaultMapCell(request, result);
  bool gridded = false;
  if (variable == MapVariable::kRingCount) {
    const std::vector<std::int32_t>& counts = result.rings.ring_counts;
    const std::vector<double> values(counts.begin(), counts.end());
    gridded = GridMapSurface(reporter, result.points, result.cluster, gridding, values, step,
                             gridding, options, map.surface);
  } else {
    double SurveyPoint::*value =
        variable == MapVariable::kCba ? &SurveyPoint::cba : &SurveyPoint::residual;
    gridded = GridMapSurface(reporter, result.points, result.cluster, gridding, value, step,
                             gridding, options, map.surface);
  }
  if (!gridded) return false;
  map.variable = variable;
  map.station_values.clear();
  SetUpScene(request, result, MapVariableName(variable), map);
  map.scene.quantity = QuantityOf(variable);
  map.scene.value_caption = QuantityLabel(map.scene.quantity);
  map.scene.surface = &map.surface;
  map.scene.show_stations = stations;
  return true;
}

bool MakeStationMap(Reporter& reporter, const RunRequest& request, RunResult& result,
                    std::string_view name, std::span<const float> values, RunMap& map) {
  if (!HasResults(reporter, request, result)) return false;
  if (values.size() != result.points.points.size()) {
    reporter.ShowInfo("No value for every station to map");
    return false;
  }
  map.surface = MapSurface();
  map.station_values.assign(values.begin(), values.end());
  SetUpScene(request, result, name, map);
  map.scene.surface = nullptr;
  map.scene.station_values = map.station_values;
  map.scene.show_stations = true;
  return true;
}

}  // namespace torvane
