#pragma once
// The functions of the module's core part, added a group at a time.

#include <pybind11/pybind11.h>

#include "Arrays.h"
#include "grid/GridValues.h"

namespace torvane::python {

void AddPointFunctions(pybind11::module_& module);
void AddGridFunctions(pybind11::module_& module);
void AddSweepFunction(pybind11::module_& module);
void AddReductionFunctions(pybind11::module_& module);
void AddMapFunctions(pybind11::module_& module);

// The grid's values (rows from the south) and where its nodes lie, as the
// module's Grid takes them; `format` the file format's name or None.
pybind11::dict GridDict(const GridValues& grid, pybind11::object format);

// The plain grid of a Python grid's values and node placement.
GridValues PlainGrid(const InArray& values, double xmin, double dx, double ymin, double dy);

}  // namespace torvane::python
