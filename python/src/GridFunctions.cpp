// read_grid and grid_ring_residual: grid files, and grid mode's rings over a
// grid file or over a grid's values handed back from Python.

#include <algorithm>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include <pybind11/stl.h>

#include "Arrays.h"
#include "CoreCall.h"
#include "ModuleCalls.h"
#include "PythonFunctions.h"
#include "grid/GridArrays.h"
#include "grid/GridFormat.h"
#include "grid/ReadGridValues.h"
#include "grid/WriteGrid.h"
#include "residual/GridResidual.h"
#include "grid/Gridimport.h"
#include "points/CoordinateSystem.h"
#include "residual/RingResiduals.h"

namespace py = pybind11;

namespace torvane::python {
namespace {

// The module's name of a format read: the table's, with '_' for '-' and
// "esri_ascii" and "gdal" for the ESRI ASCII and GDAL rows.
py::object FormatName(const GridFormat* format) {
  if (format == nullptr) return py::none();
  if (format == &kEsriAsciiFormat) return py::str("esri_ascii");
  if (format == &kGdalRasterFormat) return py::str("gdal");
  std::string name(format->name);
  std::replace(name.begin(), name.end(), '-', '_');
  return py::str(name);
}

// A 2-D array of node values as the core takes it; ValueError for any
// other shape.
NodeArray NodeArrayOf(const InArray& values, double xmin, double dx, double ymin, double dy) {
  Require(NodeArrayProblem(static_cast<int>(values.ndim()), values.ndim() == 2 ? values.shape(0) : 0,
                           values.ndim() == 2 ? values.shape(1) : 0));
  return {View(values), values.shape(0), values.shape(1), xmin, dx, ymin, dy};
}

}  // namespace

// The grid's values (rows from the south) and where its nodes lie.
py::dict GridDict(const GridValues& grid, py::object format) {
  py::array_t<double> values({static_cast<py::ssize_t>(grid.nrows),
                              static_cast<py::ssize_t>(grid.ncols)});
  const std::span<double> out(values.mutable_data(), static_cast<std::size_t>(values.size()));
  {
    const py::gil_scoped_release free;
    CopyGridValues(grid, out);
  }
  py::dict result;
  result["values"] = values;
  result["xmin"] = grid.xmin;
  result["dx"] = grid.dx;
  result["ymin"] = grid.ymin;
  result["dy"] = grid.dy;
  result["format"] = format;
  const auto text_or_none = [](const std::string& text) -> py::object {
    return text.empty() ? py::object(py::none()) : py::object(py::str(text));
  };
  result["crs"] = text_or_none(grid.crs);
  result["name"] = text_or_none(grid.variable);
  result["units"] = text_or_none(grid.units);
  return result;
}

// The plain grid of a Python grid's values and node placement.
GridValues PlainGrid(const InArray& values, double xmin, double dx, double ymin,
                     double dy) {
  const NodeArray array = NodeArrayOf(values, xmin, dx, ymin, dy);
  GridValues plain;
  bool ok = false;
  {
    const py::gil_scoped_release free;
    ok = PlainGridOf(array, plain);
  }
  if (!ok) throw py::value_error("grid: the grid's geometry is not valid");
  return plain;
}

namespace {

py::dict ReadGrid(const std::string& path) {
  CoreCall call('.');
  GridValues grid;
  const GridFormat* format = nullptr;
  bool ok = false;
  {
    const py::gil_scoped_release free;
    ok = ReadGridValues(call.platform(), path, grid, &format);
  }
  call.Finish(ok, "Cannot read grid file");
  return GridDict(grid, FormatName(format));
}

// The ring of every point over `grid`, loaded by `load` with the GIL
// released.
py::dict GridRings(CoreCall& call, TGridImport& grid, const std::function<bool()>& load,
                   const InArray& x, const InArray& y, const InArray& cba, double radius,
                   std::int32_t ring_points, bool interpolated_cba, bool quality) {
  RingResult result(static_cast<std::size_t>(x.size()), quality);
  bool ok = false;
  {
    const py::gil_scoped_release free;
    RingSettings settings;
    settings.radius = radius;
    settings.grid = &grid;
    settings.ring_points = ring_points;
    settings.use_interpolated_cba = interpolated_cba;
    settings.quality = quality;
    PointSet points;
    RingResults rings;
    ok = SurveyRings(call.platform(), {View(x), View(y), View(cba)}, settings, load,
                     call.InterruptibleStep(), points, rings) &&
         grid.FileUnchanged();
    if (ok) result.Fill(points, rings);
  }
  call.Finish(ok, "The grid ring residuals could not be computed");
  return result.ToDict();
}

py::dict GridRingResidualFile(const InArray& x, const InArray& y, const InArray& cba,
                              const std::string& path, double radius, std::int32_t ring_points,
                              bool interpolated_cba, bool quality) {
  Require(GridRingProblem(radius, ring_points));
  CoreCall call('.');
  TGridImport grid(call.platform());
  return GridRings(
      call, grid, [&] { return grid.Load(path); }, x, y, cba, radius, ring_points,
      interpolated_cba, quality);
}

py::dict GridRingResidualValues(const InArray& x, const InArray& y, const InArray& cba,
                                const InArray& values, double xmin, double dx, double ymin,
                                double dy, double radius, std::int32_t ring_points,
                                bool interpolated_cba, bool quality) {
  Require(GridRingProblem(radius, ring_points));
  const NodeArray array = NodeArrayOf(values, xmin, dx, ymin, dy);
  CoreCall call('.');
  TGridImport grid(call.platform());
  return GridRings(
      call, grid, [&] { return LoadNodeArray(grid, array); }, x, y, cba, radius, ring_points,
      interpolated_cba, quality);
}

// What a Python grid says beside its values: its CRS (any text PROJ takes,
// stored as WKT), the name of what it holds and its units.
struct GridLabels {
  std::optional<std::string> crs;
  std::optional<std::string> name;
  std::optional<std::string> units;
};

void Label(GridValues& grid, const GridLabels& labels) {
  if (labels.crs) {
    grid.crs = CrsWkt(*labels.crs);
    if (grid.crs.empty()) {
      throw py::value_error("crs: no coordinate reference system PROJ knows: '" + *labels.crs +
                            "'");
    }
  }
  if (labels.name) grid.variable = *labels.name;
  if (labels.units) grid.units = *labels.units;
}

void WriteGridFile(const std::string& path, const InArray& values, double xmin, double dx,
                   double ymin, double dy, const std::optional<std::string>& format,
                   const GridLabels& labels) {
  const GridFormat* type = format ? GridFormatNamed(*format) : GridFormatOfPath(path);
  if (!type) {
    throw py::value_error(
        format ? "format: one of " + GridFormatNames() + ", not '" + *format + "'"
               : "format: not told by the name '" + path + "' (.grd, .asc, .tif, .tiff or "
                 ".nc); give one of " + GridFormatNames());
  }
  CoreCall call('.');
  GridValues plain = PlainGrid(values, xmin, dx, ymin, dy);
  Label(plain, labels);
  bool ok = false;
  {
    const py::gil_scoped_release free;
    ok = WriteGrid(call.platform(), plain, path, *type);
  }
  call.Finish(ok, "Cannot write grid");
}

py::dict GridResidual(const InArray& values, double xmin, double dx, double ymin, double dy,
                      double radius, std::int32_t ring_points, double min_share) {
  Require(GridResidualProblem(radius, ring_points, min_share));
  CoreCall call('.');
  const GridValues plain = PlainGrid(values, xmin, dx, ymin, dy);
  GridValues out;
  bool ok = false;
  {
    const py::gil_scoped_release free;
    ok = ComputeGridResidual(plain, {radius, ring_points, min_share}, out,
                             call.InterruptibleStep());
  }
  call.Finish(ok, "The grid residual could not be computed");
  return GridDict(out, py::none());
}

}  // namespace

void AddGridFunctions(py::module_& module) {
  module.def("read_grid", &ReadGrid, py::arg("path"));
  module.def("grid_ring_residual_file", &GridRingResidualFile, py::arg("x"), py::arg("y"),
             py::arg("cba"), py::arg("path"), py::arg("radius"), py::arg("ring_points"),
             py::arg("interpolated_cba"), py::arg("quality"));
  module.def("grid_ring_residual_values", &GridRingResidualValues, py::arg("x"), py::arg("y"),
             py::arg("cba"), py::arg("values"), py::arg("xmin"), py::arg("dx"), py::arg("ymin"),
             py::arg("dy"), py::arg("radius"), py::arg("ring_points"),
             py::arg("interpolated_cba"), py::arg("quality"));
  module.def(
      "write_grid",
      [](const std::string& path, const InArray& values, double xmin, double dx, double ymin,
         double dy, const std::optional<std::string>& format,
         const std::optional<std::string>& crs, const std::optional<std::string>& name,
         const std::optional<std::string>& units) {
        WriteGridFile(path, values, xmin, dx, ymin, dy, format, {crs, name, units});
      },
      py::arg("path"), py::arg("values"), py::arg("xmin"), py::arg("dx"), py::arg("ymin"),
      py::arg("dy"), py::arg("format"), py::arg("crs"), py::arg("name"), py::arg("units"));
  module.def("grid_residual", &GridResidual, py::arg("values"), py::arg("xmin"), py::arg("dx"),
             py::arg("ymin"), py::arg("dy"), py::arg("radius"), py::arg("ring_points"),
             py::arg("min_share"));
}

}  // namespace torvane::python
