// torvane._core: the core's calls over numpy arrays. The package `torvane`
// checks the arguments, documents the functions and wraps the results; this
// part only hands the arrays to the core and its answers back.

#include <pybind11/pybind11.h>

#include "CoreCall.h"
#include "PythonFunctions.h"
#include "residual/RingLimits.h"

PYBIND11_MODULE(_core, module) {
  module.doc() = "Torvane's core calls over numpy arrays (use the package torvane)";
  // The limits torvane-cli and the window keep too.
  module.attr("MOST_RING_POINTS") = torvane::kMostRingPoints;
  module.attr("MOST_SWEEP_RADII") = torvane::kMostSweepRadii;
  torvane::python::RegisterCoreErrors(module);
  torvane::python::AddPointFunctions(module);
  torvane::python::AddGridFunctions(module);
  torvane::python::AddMapFunctions(module);
  torvane::python::AddSweepFunction(module);
  torvane::python::AddReductionFunctions(module);
}
