// grid_stations and save_map: stations gridded as the maps and
// --residual-grid grid them, and a grid drawn as torvane-cli map draws it.

#include <optional>
#include <string>

#include <pybind11/stl.h>

#include "Arrays.h"
#include "CoreCall.h"
#include "PythonFunctions.h"
#include "grid/GridArrays.h"
#include "points/PointArrays.h"
#include "points/CoordinateSystem.h"
#include "preview/MapRenderer.h"
#include "preview/PointValueGrid.h"
#include "preview/PreviewData.h"

namespace py = pybind11;

namespace torvane::python {
namespace {

py::dict GridStations(const InArray& x, const InArray& y, const InArray& values, double cell,
                      const std::string& gridder, double tension, double mask_distance,
                      double radius) {
  const std::optional<Gridder> kind = GridderOfName(gridder);
  if (!kind) throw py::value_error("gridder: \"min-curvature\" or \"idw\", not '" + gridder + "'");
  if (!(tension >= 0 && tension <= 1)) throw py::value_error("tension: from 0 to 1");
  CoreCall call('.');
  PointSet points;
  GridValues grid;
  bool ok = false;
  {
    const py::gil_scoped_release free;
    ok = PointSetFromArrays(call.platform(), View(x), View(y), {}, View(values), points);
    if (ok) {
      PointGridRequest request;
      request.value = &SurveyPoint::cba;
      if (cell > 0) {
        request.cell = cell;
      } else {
        std::vector<double> xs, ys;
        for (const SurveyPoint& p : points.points) {
          xs.push_back(p.x);
          ys.push_back(p.y);
        }
        request.cell = DefaultStationCell(xs, ys);
      }
      request.radius = radius > 0 ? radius : 5 * request.cell;
      request.reach = request.radius;
      request.gridding = {*kind, tension, mask_distance > 0 ? mask_distance : 0};
      ok = request.cell > 0 && GridPointValues(call.platform(), points, request, grid);
    }
  }
  call.Finish(ok, "The stations could not be gridded");
  return GridDict(grid, py::none());
}

void SaveGridMap(const std::string& path, const InArray& values, double xmin, double dx, double ymin,
                 double dy, const std::string& title, const std::string& label,
                 const std::optional<std::string>& colour_scale,
                 const std::optional<std::pair<double, double>>& colour_range,
                 const std::optional<std::string>& palette, double contours, int width, int height,
                 const std::optional<std::string>& crs) {
  const std::optional<MapFormat> format = MapFormatOfName(path);
  if (!format) throw py::value_error("path: a name ending in .png, .svg or .pdf, not '" + path + "'");
  MapScene scene;
  if (colour_scale) {
    scene.colours.scale = ScaleKindOfName(*colour_scale);
    if (!scene.colours.scale || *scene.colours.scale == ScaleKind::kRange) {
      throw py::value_error("colour_scale: \"equalised\", \"linear\" or \"sd\", not '" + *colour_scale + "'");
    }
  }
  if (colour_range) {
    if (!(colour_range->first < colour_range->second)) throw py::value_error("colour_range: (min, max) with min < max");
    scene.colours.scale = ScaleKind::kRange;
    scene.colours.range_min = colour_range->first;
    scene.colours.range_max = colour_range->second;
  }
  if (palette) {
    scene.colours.palette = PaletteOfName(*palette);
    if (!scene.colours.palette) {
      throw py::value_error("palette: \"seed\", \"diverging\", \"viridis\" or \"cividis\", not '" + *palette + "'");
    }
  }
  if (width < 16 || height < 16 || width > 16384 || height > 16384) throw py::value_error("size: each side 16 to 16384");
  const MapSurface surface = SurfaceOfGrid(PlainGrid(values, xmin, dx, ymin, dy));
  scene.surface = &surface;
  scene.title = title;
  scene.value_caption = label;
  scene.contour_interval = contours;
  if (crs && !crs->empty()) {
    scene.geographic = DescribeCrs(*crs) == CrsKind::kGeographic;
    scene.crs_name = CrsDisplayName(*crs);
  }
  CoreCall call('.');
  bool ok = false;
  {
    const py::gil_scoped_release free;
    ok = SaveMap(call.platform(), path, *format, scene, FullView(scene), width, height);
  }
  call.Finish(ok, "Cannot write the map");
}

}  // namespace

void AddMapFunctions(py::module_& module) {
  module.def("grid_stations", &GridStations, py::arg("x"), py::arg("y"), py::arg("values"),
             py::arg("cell"), py::arg("gridder"), py::arg("tension"), py::arg("mask_distance"),
             py::arg("radius"));
  module.def("save_map", &SaveGridMap, py::arg("path"), py::arg("values"), py::arg("xmin"),
             py::arg("dx"), py::arg("ymin"), py::arg("dy"), py::arg("title"), py::arg("label"),
             py::arg("colour_scale"), py::arg("colour_range"), py::arg("palette"),
             py::arg("contours"), py::arg("width"), py::arg("height"), py::arg("crs"));
}

}  // namespace torvane::python
