// Surfer 6 binary grid: DSBB, the counts as 16-bit numbers, the extents and
// the value range as doubles, then floats row by row from the south.

#include <cstdint>

#include "grid/GridFileBytes.h"
#include "grid/GridFileWriters.h"

namespace torvane {

bool WriteSurfer6Grid(const GridValues& grid, const std::string& path, std::string& reason) {
  constexpr std::uint32_t kMostCount = INT16_MAX;
  if (grid.ncols > kMostCount || grid.nrows > kMostCount) {
    reason = "a Surfer 6 grid holds at most 32767 columns and 32767 rows; this one has " +
             std::to_string(grid.ncols) + " x " + std::to_string(grid.nrows);
    return false;
  }
  if (grid.ncols < 2 || grid.nrows < 2) {
    reason = "a Surfer 6 grid needs at least two columns and two rows";
    return false;
  }
  GridFileBytes out(path);
  if (!out.ok()) {
    reason = FileWriteFailure(out.error());
    return false;
  }
  double low = 0;
  double high = 0;
  NodeRange(grid, low, high);
  out.Text("DSBB");
  out.Int16(static_cast<std::int16_t>(grid.ncols));
  out.Int16(static_cast<std::int16_t>(grid.nrows));
  for (const double field : {grid.xmin, grid.xmax(), grid.ymin, grid.ymax(), low, high}) {
    out.Double(field);
  }
  for (std::uint32_t r = 0; r < grid.nrows; ++r) {
    for (std::uint32_t c = 0; c < grid.ncols; ++c) {
      const float value = grid.At(c, r);
      out.Float(IsBlank(value) ? kBlankNode : value);
    }
  }
  if (out.Commit()) return true;
  reason = FileWriteFailure(out.error());
  return false;
}

}  // namespace torvane
