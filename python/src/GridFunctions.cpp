// read_grid and grid_ring_residual: grid files, and grid mode's rings over a
// grid file or over a grid's values handed back from Python.

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "Arrays.h"
#include "CoreCall.h"
#include "PythonFunctions.h"
#include "grid/GridValues.h"
#include "grid/Gridimport.h"
#include "points/PointArrays.h"
#include "residual/RingResiduals.h"

namespace py = pybind11;

namespace torvane::python {
namespace {

py::object FormatName(GridFormat format) {
  switch (format) {
    case GridFormat::Surfer7Binary:
      return py::str("surfer7");
    case GridFormat::Surfer6Binary:
      return py::str("surfer6");
    case GridFormat::GeosoftBinary:
      return py::str("geosoft");
    case GridFormat::SurferAscii:
      return py::str("surfer_ascii");
    case GridFormat::EsriAscii:
      return py::str("esri_ascii");
    case GridFormat::None:
      break;
  }
  return py::none();
}

// The grid's values (rows from the south) and where its nodes lie.
py::dict ReadGrid(const std::string& path) {
  CoreCall call('.');
  TGridImport grid(call.platform());
  bool ok = false;
  {
    const py::gil_scoped_release free;
    ok = grid.Load(path);
  }
  call.Finish(ok, "Cannot read grid file");
  py::array_t<double> values({static_cast<py::ssize_t>(grid.nrows),
                              static_cast<py::ssize_t>(grid.ncols)});
  const std::span<double> out(values.mutable_data(), static_cast<std::size_t>(values.size()));
  {
    const py::gil_scoped_release free;
    CopyGridValues(grid, out);
    // Nodes read from a file that changed meanwhile cannot be trusted.
    ok = grid.FileUnchanged();
  }
  call.Finish(ok, "Cannot read grid file");
  py::dict result;
  result["values"] = values;
  result["xmin"] = grid.xmin;
  result["dx"] = grid.dx;
  result["ymin"] = grid.ymin;
  result["dy"] = grid.dy;
  result["format"] = FormatName(grid.format);
  return result;
}

// The ring of every point over `grid`, loaded by `load` with the GIL
// released.
template <typename Load>
py::dict GridRings(CoreCall& call, TGridImport& grid, Load&& load, const InArray& x,
                   const InArray& y, const InArray& cba, double radius, std::int32_t ring_points,
                   bool interpolated_cba) {
  RingResult result(static_cast<std::size_t>(x.size()));
  bool ok = false;
  {
    const py::gil_scoped_release free;
    PointSet points;
    if (PointSetFromArrays(call.platform(), View(x), View(y), {}, View(cba), points) && load()) {
      std::vector<int> ring_counts;
      ok = GatherGridRings(points, grid, radius, ring_points, interpolated_cba, ring_counts,
                           call.InterruptibleStep()) == RingOutcome::kDone &&
           grid.FileUnchanged();
      if (ok) result.Fill(points, ring_counts);
    }
  }
  call.Finish(ok, "The grid ring residuals could not be computed");
  return result.ToDict();
}

py::dict GridRingResidualFile(const InArray& x, const InArray& y, const InArray& cba,
                              const std::string& path, double radius, std::int32_t ring_points,
                              bool interpolated_cba) {
  CoreCall call('.');
  TGridImport grid(call.platform());
  return GridRings(
      call, grid, [&] { return grid.Load(path); }, x, y, cba, radius, ring_points,
      interpolated_cba);
}

py::dict GridRingResidualValues(const InArray& x, const InArray& y, const InArray& cba,
                                const InArray& values, double xmin, double dx, double ymin,
                                double dy, double radius, std::int32_t ring_points,
                                bool interpolated_cba) {
  if (values.ndim() != 2) throw py::value_error("grid: values must be a 2-D array");
  constexpr auto kMaxCount = static_cast<py::ssize_t>(std::numeric_limits<std::int32_t>::max());
  if (values.shape(0) > kMaxCount || values.shape(1) > kMaxCount) {
    throw py::value_error("grid: too many rows or columns");
  }
  const auto nrows = static_cast<std::uint32_t>(values.shape(0));
  const auto ncols = static_cast<std::uint32_t>(values.shape(1));
  CoreCall call('.');
  TGridImport grid(call.platform());
  return GridRings(
      call, grid,
      [&] { return GridFromValues(grid, ncols, nrows, xmin, dx, ymin, dy, View(values)); }, x, y,
      cba, radius, ring_points, interpolated_cba);
}

}  // namespace

void AddGridFunctions(py::module_& module) {
  module.def("read_grid", &ReadGrid, py::arg("path"));
  module.def("grid_ring_residual_file", &GridRingResidualFile, py::arg("x"), py::arg("y"),
             py::arg("cba"), py::arg("path"), py::arg("radius"), py::arg("ring_points"),
             py::arg("interpolated_cba"));
  module.def("grid_ring_residual_values", &GridRingResidualValues, py::arg("x"), py::arg("y"),
             py::arg("cba"), py::arg("values"), py::arg("xmin"), py::arg("dx"), py::arg("ymin"),
             py::arg("dy"), py::arg("radius"), py::arg("ring_points"),
             py::arg("interpolated_cba"));
}

}  // namespace torvane::python
