// Surfer 7 binary grid: the header section (DSRB, version 2), the grid
// section with the geometry and the blank value, and the data section of
// doubles, row by row from the south, each row from the west.

#include "grid/GridFileBytes.h"
#include "grid/GridFileWriters.h"

namespace torvane {

bool WriteSurfer7Grid(const GridValues& grid, const std::string& path, std::string& reason) {
  GridFileBytes out(path);
  if (!out.ok()) {
    reason = FileWriteFailure(out.error());
    return false;
  }
  double low = 0;
  double high = 0;
  NodeRange(grid, low, high);
  out.Text("DSRB");
  out.Int32(4);
  out.Int32(2);
  out.Text("GRID");
  out.Int32(72);
  out.Int32(static_cast<std::int32_t>(grid.nrows));
  out.Int32(static_cast<std::int32_t>(grid.ncols));
  for (const double field : {grid.xmin, grid.ymin, grid.dx, grid.dy, low, high, 0.0, kBlankValue}) {
    out.Double(field);
  }
  out.Text("DATA");
  const std::uint64_t data_size = std::uint64_t{8} * grid.ncols * grid.nrows;
  // The length is a 32-bit field; larger grids are read by their counts.
  out.Int32(data_size > INT32_MAX ? INT32_MAX : static_cast<std::int32_t>(data_size));
  for (std::uint32_t r = 0; r < grid.nrows; ++r) {
    for (std::uint32_t c = 0; c < grid.ncols; ++c) {
      const float value = grid.At(c, r);
      out.Double(IsBlank(value) ? kBlankValue : value);
    }
  }
  if (out.Commit()) return true;
  reason = FileWriteFailure(out.error());
  return false;
}

}  // namespace torvane
