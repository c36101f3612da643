#include "app/RunMap.h"

#include <string>

#include "common/ShortestText.h"
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

double DefaultMapCell(const RunRequest& request) { return request.GriddingRadius() / 5; }

bool MakeRunMap(Reporter& reporter, const RunRequest& request, RunResult& result,
                MapVariable variable, double cell, bool stations, RunMap& map) {
  if (!HasResults(reporter, request, result)) return false;
  if (variable == MapVariable::kGap) {
    if (!EnsureRingQualities(reporter, request, result)) return false;
    std::vector<float> gaps;
    gaps.reserve(result.rings.qualities.size());
    for (const RingQuality& quality : result.rings.qualities) {
      gaps.push_back(static_cast<float>(quality.gap));
    }
    if (!MakeStationMap(reporter, request, result, "GAP [degrees]", gaps, map)) return false;
    map.variable = variable;
    return true;
  }
  const double gridding = request.GriddingRadius();
  const double step = cell > 0 ? cell : DefaultMapCell(request);
  bool gridded = false;
  if (variable == MapVariable::kRingCount) {
    const std::vector<std::int32_t>& counts = result.rings.ring_counts;
    const std::vector<double> values(counts.begin(), counts.end());
    gridded = GridMapSurface(reporter, result.points, result.cluster, gridding, values, step,
                             gridding, map.surface);
  } else {
    double SurveyPoint::*value =
        variable == MapVariable::kCba ? &SurveyPoint::cba : &SurveyPoint::residual;
    gridded = GridMapSurface(reporter, result.points, result.cluster, gridding, value, step,
                             gridding, map.surface);
  }
  if (!gridded) return false;
  map.variable = variable;
  map.station_values.clear();
  SetUpScene(request, result, MapVariableName(variable), map);
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
