// Surfer ASCII grid (DSAA): the counts, the extents and the value range on
// four lines, then the nodes row by row from the south, ten to a line, an
// empty line after each row; CR LF line ends as Surfer writes them. Nodes in
// the shortest text that reads back as the same single-precision value.

#include <utility>

#include "grid/GridFileBytes.h"
#include "grid/GridFileWriters.h"

namespace torvane {

bool WriteSurferAsciiGrid(const GridValues& grid, const std::string& path, std::string& reason) {
  if (grid.ncols < 2 || grid.nrows < 2) {
    reason = "a Surfer ASCII grid needs at least two columns and two rows";
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
  out.Text("DSAA\r\n");
  out.Text(std::to_string(grid.ncols) + " " + std::to_string(grid.nrows) + "\r\n");
  for (const auto& [first, second] :
       {std::pair{grid.xmin, grid.xmax()}, {grid.ymin, grid.ymax()}, {low, high}}) {
    out.Number(first);
    out.Text(" ");
    out.Number(second);
    out.Text("\r\n");
  }
  constexpr std::uint32_t kPerLine = 10;
  for (std::uint32_t r = 0; r < grid.nrows; ++r) {
    for (std::uint32_t c = 0; c < grid.ncols; ++c) {
      const float value = grid.At(c, r);
      if (IsBlank(value)) {
        out.Text("1.70141e+38");
      } else {
        out.Number(value);
      }
      out.Text((c + 1) % kPerLine == 0 || c + 1 == grid.ncols ? "\r\n" : " ");
    }
    out.Text("\r\n");
  }
  if (out.Commit()) return true;
  reason = FileWriteFailure(out.error());
  return false;
}

}  // namespace torvane
