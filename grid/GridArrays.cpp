#include "grid/GridArrays.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace torvane {

void CopyGridValues(const GridValues& grid, std::span<double> values) {
  const std::size_t ncols = grid.ncols;
  const std::size_t nrows = grid.nrows;
  if (values.size() < ncols * nrows) return;
  // Column by column, as the nodes are held: each column is read in one run.
  for (std::uint32_t c = 0; c < grid.ncols; ++c) {
    for (std::uint32_t r = 0; r < grid.nrows; ++r) {
      const float node = grid.At(c, r);
      values[r * ncols + c] = IsBlank(node) ? std::numeric_limits<double>::quiet_NaN() : node;
    }
  }
}

bool GridFromValues(GridValues& grid, std::uint32_t ncols, std::uint32_t nrows, double xmin,
                    double dx, double ymin, double dy, std::span<const double> values) {
  grid = GridValues();
  if (values.size() != std::size_t{ncols} * nrows) return false;
  if (!GridGeometry::FromSpacing(ncols, nrows, xmin, ymin, dx, dy).IsSound()) return false;
  grid.ncols = ncols;
  grid.nrows = nrows;
  grid.xmin = xmin;
  grid.dx = dx;
  grid.ymin = ymin;
  grid.dy = dy;
  grid.nodes.resize(values.size());
  for (std::uint32_t c = 0; c < ncols; ++c) {
    for (std::uint32_t r = 0; r < nrows; ++r) {
      grid.At(c, r) = NodeFromDouble(values[std::size_t{r} * ncols + c]);
    }
  }
  return true;
}

bool LoadGridValues(TGridImport& grid, const GridValues& values) {
  GridHeader header;
  header.geometry = GridGeometry::FromSpacing(values.ncols, values.nrows, values.xmin,
                                              values.ymin, values.dx, values.dy);
  if (const std::string problem = header.geometry.Problem(); !problem.empty()) {
    grid.ShowError("Grid geometry is not valid: " + problem);
    return false;
  }
  switch (grid.Accept(header)) {
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
  std::copy(values.nodes.begin(), values.nodes.end(), grid.nodes());
  grid.MeasureNodeRange();
  return true;
}

}  // namespace torvane
