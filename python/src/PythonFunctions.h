#pragma once
// The functions of the module's core part, added a group at a time.

#include <pybind11/pybind11.h>

namespace torvane::python {

void AddPointFunctions(pybind11::module_& module);
void AddGridFunctions(pybind11::module_& module);
void AddSweepFunction(pybind11::module_& module);
void AddReductionFunctions(pybind11::module_& module);

}  // namespace torvane::python
