// sweep: the residuals of every point for several radii, and their curve.

#include <pybind11/numpy.h>
#include <pybind11/stl.h>

#include <cstddef>
#include <utility>
#include <vector>

#include "Arrays.h"
#include "CoreCall.h"
#include "ModuleCalls.h"
#include "PythonFunctions.h"
#include "residual/RadiusSweep.h"
#include "residual/SweepCurve.h"

namespace py = pybind11;

namespace torvane::python {
namespace {

// One row per radius of a (radii, points) array, from the columns' field.
template <typename Out, typename Field>
py::array_t<Out> Rows(const std::vector<SweepColumn>& columns, std::size_t count, Field field) {
  py::array_t<Out> rows({static_cast<py::ssize_t>(columns.size()),
                         static_cast<py::ssize_t>(count)});
  Out* out = rows.mutable_data();
  for (const SweepColumn& column : columns) {
    const auto& values = column.*field;
    for (std::size_t i = 0; i < count; ++i) *out++ = static_cast<Out>(values[i]);
  }
  return rows;
}

template <typename Field>
py::array_t<double> CurveColumn(const std::vector<CurveRow>& curve, Field field) {
  py::array_t<double> column(static_cast<py::ssize_t>(curve.size()));
  double* out = column.mutable_data();
  for (const CurveRow& row : curve) *out++ = static_cast<double>(row.*field);
  return column;
}

py::dict Sweep(const InArray& x, const InArray& y, const InArray& cba,
               const std::vector<std::pair<double, double>>& rings, int min_ring_points,
               double max_gap) {
  std::vector<SweepRadius> radii;
  for (const auto& [radius, band] : rings) radii.push_back({radius, band});
  Require(SweepProblem(radii, min_ring_points, max_gap));
  CoreCall call('.');
  std::vector<SweepColumn> columns;
  std::vector<CurveRow> curve;
  bool ok = false;
  {
    const py::gil_scoped_release free;
    RingBlanking blanking;
    blanking.min_points = min_ring_points;
    blanking.max_gap = max_gap;
    ok = SweepSurvey(call.platform(), {View(x), View(y), View(cba)}, radii, blanking,
                     call.InterruptibleStep(), columns, curve);
  }
  call.Finish(ok, "The sweep could not be computed");
  const auto count = static_cast<std::size_t>(x.size());
  py::dict result;
  result["radius"] = CurveColumn(curve, &CurveRow::radius);
  result["band"] = CurveColumn(curve, &CurveRow::band);
  result["residual"] = Rows<double>(columns, count, &SweepColumn::residual);
  result["n"] = Rows<std::int64_t>(columns, count, &SweepColumn::n);
  py::dict table;
  table["radius"] = CurveColumn(curve, &CurveRow::radius);
  table["band"] = CurveColumn(curve, &CurveRow::band);
  table["points_with_ring"] = CurveColumn(curve, &CurveRow::points_with_ring);
  table["mean_n"] = CurveColumn(curve, &CurveRow::mean_n);
  table["rms_residual"] = CurveColumn(curve, &CurveRow::rms_residual);
  table["mean_abs_residual"] = CurveColumn(curve, &CurveRow::mean_abs_residual);
  table["correlation_previous"] = CurveColumn(curve, &CurveRow::correlation_previous);
  table["share_gap_over_180"] = CurveColumn(curve, &CurveRow::share_gap_over_180);
  result["curve"] = table;
  return result;
}

}  // namespace

void AddSweepFunction(py::module_& module) {
  module.def("sweep", &Sweep, py::arg("x"), py::arg("y"), py::arg("cba"), py::arg("rings"),
             py::arg("min_ring_points"), py::arg("max_gap"));
}

}  // namespace torvane::python
