// normal_gravity, bouguer_plate and the reduction of absolute gravity: the
// core's formulas over arrays of stations.

#include <pybind11/numpy.h>
#include <pybind11/stl.h>

#include <cstddef>
#include <optional>
#include <string>

#include "Arrays.h"
#include "PythonFunctions.h"
#include "points/GravityReduction.h"

namespace py = pybind11;

namespace torvane::python {
namespace {

Ellipsoid EllipsoidArgument(const std::string& name) {
  const std::optional<Ellipsoid> ellipsoid = EllipsoidNamed(name);
  if (!ellipsoid) throw py::value_error("ellipsoid: \"grs80\" or \"wgs84\", not '" + name + "'");
  return *ellipsoid;
}

py::array_t<double> NormalGravity(const InArray& latitude, const InArray& height,
                                  const std::string& ellipsoid_name) {
  const Ellipsoid ellipsoid = EllipsoidArgument(ellipsoid_name);
  const auto count = static_cast<std::size_t>(latitude.size());
  py::array_t<double> out(latitude.size());
  double* values = out.mutable_data();
  const double* phi = latitude.data();
  const double* h = height.data();
  {
    const py::gil_scoped_release free;
    for (std::size_t i = 0; i < count; ++i) {
      values[i] = NormalGravityAtHeight(phi[i], h[i], ellipsoid);
    }
  }
  return out;
}

py::array_t<double> Plate(const InArray& height, double density, bool bullard_b) {
  const auto count = static_cast<std::size_t>(height.size());
  py::array_t<double> out(height.size());
  double* values = out.mutable_data();
  const double* h = height.data();
  for (std::size_t i = 0; i < count; ++i) {
    values[i] = BouguerPlate(h[i], density) + (bullard_b ? BullardB(h[i], density) : 0.0);
  }
  return out;
}

// The normal gravity, free-air and simple Bouguer anomalies of stations, as
// torvane-cli reduce computes them.
py::dict Reduce(const InArray& gravity, const InArray& height, const InArray& latitude,
                const std::string& ellipsoid_name, double density,
                std::optional<double> free_air_gradient, bool bullard_b) {
  GravityReduction reduction;
  reduction.ellipsoid = EllipsoidArgument(ellipsoid_name);
  reduction.density = density;
  reduction.free_air_gradient = free_air_gradient;
  reduction.bullard_b = bullard_b;
  const auto count = static_cast<std::size_t>(gravity.size());
  py::array_t<double> normal(gravity.size()), free_air(gravity.size()), bouguer(gravity.size());
  double* normal_out = normal.mutable_data();
  double* free_air_out = free_air.mutable_data();
  double* bouguer_out = bouguer.mutable_data();
  const double* g = gravity.data();
  const double* h = height.data();
  const double* phi = latitude.data();
  {
    const py::gil_scoped_release free;
    for (std::size_t i = 0; i < count; ++i) {
      const ReducedGravity r = ReduceGravity(reduction, phi[i], h[i], g[i]);
      normal_out[i] = r.normal_gravity;
      free_air_out[i] = r.free_air;
      bouguer_out[i] = r.bouguer;
    }
  }
  py::dict result;
  result["normal_gravity"] = normal;
  result["free_air"] = free_air;
  result["bouguer"] = bouguer;
  return result;
}

}  // namespace

void AddReductionFunctions(py::module_& module) {
  module.def("normal_gravity", &NormalGravity, py::arg("latitude"), py::arg("height"),
             py::arg("ellipsoid"));
  module.def("bouguer_plate", &Plate, py::arg("height"), py::arg("density"),
             py::arg("bullard_b"));
  module.def("reduce_gravity", &Reduce, py::arg("gravity"), py::arg("height"),
             py::arg("latitude"), py::arg("ellipsoid"), py::arg("density"),
             py::arg("free_air_gradient"), py::arg("bullard_b"));
}

}  // namespace torvane::python
