#pragma once
// Any grid file Torvane reads, as plain values: the file is read as grid mode
// reads it (the same formats, messages and node values), then its nodes are
// copied out, with the grid's CRS and units where the file gives them, and
// the name of what the nodes hold: the file's own (a netCDF variable's), or
// else the file's name without its folder and extension.

#include <string>

#include "common/Reporter.h"
#include "grid/GridValues.h"
#include "grid/Gridimport.h"

namespace torvane {

// False when the file was not read (the user has been told why through
// `platform`, naming the file), or when its nodes do not fit in memory
// ("Not enough memory for grid <path>").
// `format`, when given, receives the format the file was read as (GridFormat.h).
bool ReadGridValues(Reporter& platform, const std::string& path, GridValues& out,
                    const GridFormat** format = nullptr);

}  // namespace torvane
