#include "app/RunMap.h"

#include <cmath>
#include <string>

#include "common/ShortestText.h"
#include "points/SurveyProjection.h"

namespace torvane {
namespace {

std::string FileName(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string Title(const RunParameters& p, std::string_view name) {
  std::string ring = "R = " + ShortestText(p.search_radius) + " m, ";
  ring += p.use_grid ? "N = " + std::to_string(p.ring_points)
                     : "D = " + ShortestText(p.depth_band) + " m";
  return std::string(name) + " (" + ring + ") \u2014 " + FileName(p.input_path);
}

// What every map of the run shares: the stations, the title, the shift.
void SetUpScene(const TfrmMain& form, std::string_view name, RunMap& map) {
  map.scene = MapScene();
  map.scene.stations = {form.Points().points.data(), form.Points().points.size()};
  map.scene.title = Title(form.Parameters(), name);
  map.scene.value_caption = std::string(name);
  map.scene.shift_x = form.Points().shift_x;
  map.scene.shift_y = form.Points().shift_y;
  if (!form.Points().crs.empty()) map.scene.crs_name = CrsDisplayName(form.Points().crs);
  map.station_blanked.clear();
  for (const SurveyPoint& p : form.Points().points) {
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

bool HasResults(Platform& platform, TfrmMain& form) {
  if (!form.ResultsReady()) {
    platform.ShowInfo("No results to map: run the calculation first");
    return false;
  }
  return form.EnsureCluster();
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

double DefaultMapCell(const TfrmMain& form) {
  const auto& points = form.Points().points;
  std::vector<double> x(points.size()), y(points.size());
  for (std::size_t k = 0; k < points.size(); ++k) {
    x[k] = points[k].x;
    y[k] = points[k].y;
  }
  const double cell = DefaultStationCell(x, y);
  return cell > 0 ? cell : form.Parameters().preview_radius / 5;
}

bool MakeRunMap(Platform& platform, TfrmMain& form, MapVariable variable, double cell,
                bool stations, const GriddingOptions& gridding, RunMap& map) {
  if (!HasResults(platform, form)) return false;
  if (variable == MapVariable::kGap) {
    if (!form.EnsureRingQualities()) return false;
    std::vector<float> gaps;
    gaps.reserve(form.RingQualities().size());
    for (const RingQuality& quality : form.RingQualities()) {
      gaps.push_back(static_cast<float>(quality.gap));
    }
    if (!MakeStationMap(platform, form, "GAP", gaps, map)) return false;
    map.variable = variable;
    map.scene.quantity = MapQuantity::kGap;
    map.scene.value_caption = QuantityLabel(MapQuantity::kGap);
    return true;
  }
  const RunParameters& p = form.Parameters();
  const double step = cell > 0 ? cell : DefaultMapCell(form);
  bool gridded = false;
  if (variable == MapVariable::kRingCount) {
    const std::vector<std::int32_t>& counts = form.RingCounts();
    const std::vector<double> values(counts.begin(), counts.end());
    gridded = GridMapSurface(platform, form.Points(), form.Cluster(), p.cell_size, values, step,
                             p.preview_radius, gridding, map.surface);
  } else {
    double SurveyPoint::*value =
        variable == MapVariable::kCba ? &SurveyPoint::cba : &SurveyPoint::residual;
    gridded = GridMapSurface(platform, form.Points(), form.Cluster(), p.cell_size, value, step,
                             p.preview_radius, gridding, map.surface);
  }
  if (!gridded) return false;
  map.variable = variable;
  map.station_values.clear();
  SetUpScene(form, MapVariableName(variable), map);
  map.scene.quantity = QuantityOf(variable);
  map.scene.value_caption = QuantityLabel(map.scene.quantity);
  map.scene.surface = &map.surface;
  map.scene.show_stations = stations;
  return true;
}

bool MakeStationMap(Platform& platform, TfrmMain& form, std::string_view name,
                    std::span<const float> values, RunMap& map) {
  if (!HasResults(platform, form)) return false;
  if (values.size() != form.Points().points.size()) {
    platform.ShowInfo("No value for every station to map");
    return false;
  }
  map.surface = MapSurface();
  map.station_values.assign(values.begin(), values.end());
  SetUpScene(form, name, map);
  map.scene.surface = nullptr;
  map.scene.station_values = map.station_values;
  map.scene.show_stations = true;
  return true;
}

}  // namespace torvane
