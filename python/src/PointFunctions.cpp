// read_points and ring_residual: the point file and point mode's rings.

#include <optional>
#include <string>
#include <vector>

#include <pybind11/stl.h>

#include "Arrays.h"
#include "CoreCall.h"
#include "PythonFunctions.h"
#include "points/ColumnLetters.h"
#include "points/PointArrays.h"
#include "points/PointFileReader.h"
#include "residual/RingResiduals.h"

namespace py = pybind11;

namespace torvane::python {
namespace {

char SeparatorOrEnvironment(const std::optional<std::string>& separator) {
  return separator ? (*separator)[0] : EnvironmentDecimalSeparator();
}

py::dict ReadPoints(const std::string& path, const std::string& columns,
                    const std::optional<std::string>& decimal_separator) {
  PointColumns letters;
  if (!ParseColumnLetters(columns, letters)) {
    throw py::value_error(
        "columns: four letters A to Z separated by commas, for X, Y, point number and CBA "
        "(such as \"A,B,C,E\"), not '" + columns + "'");
  }
  CoreCall call(SeparatorOrEnvironment(decimal_separator));
  PointSet points;
  bool ok = false;
  {
    const py::gil_scoped_release free;
    ok = ReadPointFile(call.platform(), path, letters, points, StoredCoordinates::kAsGiven);
  }
  call.Finish(ok, "Cannot open input data file");
  const auto count = static_cast<py::ssize_t>(points.points.size());
  py::array_t<double> x(count), y(count), point(count), cba(count);
  double* xs = x.mutable_data();
  double* ys = y.mutable_data();
  double* numbers = point.mutable_data();
  double* cbas = cba.mutable_data();
  {
    const py::gil_scoped_release free;
    for (std::size_t i = 0; i < points.points.size(); ++i) {
      const SurveyPoint& p = points.points[i];
      xs[i] = p.x;
      ys[i] = p.y;
      numbers[i] = p.point;
      cbas[i] = p.cba;
    }
  }
  py::dict result;
  result["x"] = x;
  result["y"] = y;
  result["point"] = point;
  result["cba"] = cba;
  return result;
}

py::dict RingResidual(const InArray& x, const InArray& y, const InArray& cba, double radius,
                      double band) {
  CoreCall call('.');
  RingResult result(static_cast<std::size_t>(x.size()));
  bool ok = false;
  {
    const py::gil_scoped_release free;
    PointSet points;
    if (PointSetFromArrays(call.platform(), View(x), View(y), {}, View(cba), points)) {
      std::vector<int> ring_counts;
      ok = GatherPointRings(points, radius, band, ring_counts, call.InterruptibleStep()) ==
           RingOutcome::kDone;
      if (ok) result.Fill(points, ring_counts);
    }
  }
  call.Finish(ok, "The ring residuals could not be computed");
  return result.ToDict();
}

}  // namespace

void AddPointFunctions(py::module_& module) {
  module.def("read_points", &ReadPoints, py::arg("path"), py::arg("columns"),
             py::arg("decimal_separator"));
  module.def("ring_residual", &RingResidual, py::arg("x"), py::arg("y"), py::arg("cba"),
             py::arg("radius"), py::arg("band"));
}

}  // namespace torvane::python
