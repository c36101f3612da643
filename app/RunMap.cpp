#include "app/RunMap.h"

#include <charconv>
#include <string>

namespace torvane {
namespace {

// The shortest text that reads back to `value`, with '.'.
std::string Shortest(double value) {
  char text[32];
  const auto [end, error] = std::to_chars(text, text + sizeof text, value);
  return error == std::errc() ? std::string(text, end) : std::string("?");
}

std::string FileName(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string Title(const RunParameters& p, MapVariable variable) {
  std::string ring = "R = " + Shortest(p.search_radius) + " m, ";
  ring += p.use_grid ? "N = " + std::to_string(p.ring_points)
                     : "D = " + Shortest(p.depth_band) + " m";
  return std::string(MapVariableName(variable)) + " (" + ring + ") \u2014 " +
         FileName(p.input_path);
}

}  // namespace

std::string_view MapVariableName(MapVariable variable) {
  return variable == MapVariable::kCba ? "CBA" : "Residual";
}

double DefaultMapCell(const TfrmMain& form) { return form.Parameters().preview_radius / 5; }

bool MakeRunMap(Platform& platform, const TfrmMain& form, MapVariable variable, double cell,
                bool stations, RunMap& map) {
  if (!form.ResultsReady()) {
    platform.ShowInfo("No results to map: run the calculation first");
    return false;
  }
  const RunParameters& p = form.Parameters();
  const double step = cell > 0 ? cell : DefaultMapCell(form);
  double SurveyPoint::*value =
      variable == MapVariable::kCba ? &SurveyPoint::cba : &SurveyPoint::residual;
  if (!GridMapSurface(platform, form.Points(), form.Cluster(), p.cell_size, value, step,
                      p.preview_radius, map.surface)) {
    return false;
  }
  map.variable = variable;
  map.scene = MapScene();
  map.scene.surface = &map.surface;
  map.scene.stations = {form.Points().points.data(), form.Points().points.size()};
  map.scene.show_stations = stations;
  map.scene.title = Title(p, variable);
  map.scene.value_caption = std::string(MapVariableName(variable));
  map.scene.shift_x = form.Points().shift_x;
  map.scene.shift_y = form.Points().shift_y;
  return true;
}

}  // namespace torvane
