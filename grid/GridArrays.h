#pragma once
// A grid's nodes as an array of doubles, row by row from the south, west to
// east within a row, NaN where a node is blank; and a grid made from such an
// array. The two are exact inverses for the nodes a grid can hold (single
// precision), so a grid handed out and back samples as the original does.

#include <cstdint>
#include <span>

#include "grid/GridValues.h"
#include "grid/Gridimport.h"

namespace torvane {

// Writes the grid's ncols x nrows nodes into `values` (that many elements).
void CopyGridValues(const GridValues& grid, std::span<double> values);

// Makes `grid` the plain grid of ncols x nrows nodes, node (c, r) at
// (xmin + c * dx, ymin + r * dy), from `values` laid out as CopyGridValues
// writes them; NaN, values of 1e38 and more and values below the
// single-precision range are blank. False when the geometry is unsound.
bool GridFromValues(GridValues& grid, std::uint32_t ncols, std::uint32_t nrows, double xmin,
                    double dx, double ymin, double dy, std::span<const double> values);

// Makes `grid` (newly constructed) a grid in memory holding `values`, for
// the computations that sample a loaded grid. False, after telling the user,
// when the geometry is unsound ("Grid geometry is not valid") or the nodes
// do not fit in memory ("Grid is too big to fit in memory").
bool LoadGridValues(TGridImport& grid, const GridValues& values);

}  // namespace torvane
