#include "grid/GridValues.h"

#include <cmath>
#include <limits>

namespace torvane {

void CopyGridValues(const TGridImport& grid, std::span<double> values) {
  const std::size_t ncols = grid.ncols;
  const std::size_t nrows = grid.nrows;
  if (values.size() < ncols * nrows) return;
  // Column by column, as the nodes are held: each column is read in one run.
  for (std::uint32_t c = 0; c < grid.ncols; ++c) {
    for (std::uint32_t r = 0; r < grid.nrows; ++r) {
      const double node = grid.Node(c, r);
      values[r * ncols + c] = IsBlank(node) ? std::numeric_limits<double>::quiet_NaN() : node;
    }
  }
}

bool GridFromValues(TGridImport& grid, std::uint32_t ncols, std::uint32_t nrows, double xmin,
                    double dx, double ymin, double dy, std::span<const double> values) {
  grid.format = GridFormat::None;
  grid.ncols = ncols;
  grid.nrows = nrows;
  grid.xmin = xmin;
  grid.dx = dx;
  grid.ymin = ymin;
  grid.dy = dy;
  if (values.size() != std::size_t{ncols} * nrows) {
    grid.ShowError("Grid geometry is not valid");
    return false;
  }
  switch (grid.CompleteFromSpacing()) {
    case Allocation::kInMemory:
      break;
    case Allocation::kDeclined:
    case Allocation::kNoNodes:
      grid.ShowError("Grid geometry is not valid");
      return false;
    case Allocation::kOnDisk:
      grid.ShowError("Grid is too big to fit in memory");
      return false;
  }
  float* nodes = grid.nodes();
  for (std::uint32_t c = 0; c < ncols; ++c) {
    for (std::uint32_t r = 0; r < nrows; ++r) {
      nodes[std::size_t{c} * nrows + r] = NodeFromDouble(values[std::size_t{r} * ncols + c]);
    }
  }
  grid.MeasureNodeRange();
  return true;
}

}  // namespace torvane
