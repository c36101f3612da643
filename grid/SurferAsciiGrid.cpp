// Surfer ASCII grid: "DSAA", then lines of the counts, the x extent, the y
// extent and the value range, then ncols x nrows numbers row by row from the
// south, each row from the west, separated by any white space.

#include "grid/GridReaders.h"
#include "grid/GridText.h"

namespace torvane {

bool IsSurferAsciiGrid(std::string_view head) { return head.starts_with("DSAA"); }

bool ReadSurferAsciiGrid(TGridImport& grid, const std::string& path) {
  MappedFile file;
  if (!OpenGridFile(grid, path, file)) return false;
  TextLines lines(file.text());
  std::string_view line;
  if (!lines.Next(line) || !IsSurferAsciiGrid(line)) return false;

  const char separator = grid.DecimalSeparator();
  double pairs[4][2] = {};
  for (auto& pair : pairs) {
    if (!lines.Next(line) || !ParseNumberPair(line, separator, pair[0], pair[1])) return false;
  }
  if (!GridCount(pairs[0][0], grid.ncols) || !GridCount(pairs[0][1], grid.nrows)) return false;
  grid.xmin = pairs[1][0];
  grid.xmax = pairs[1][1];
  grid.ymin = pairs[2][0];
  grid.ymax = pairs[2][1];
  grid.zmin = pairs[3][0];
  grid.zmax = pairs[3][1];
  grid.format = GridFormat::SurferAscii;
  const Allocation allocation =
      grid.CompleteFromExtents({.nodes = MostTextNodes(lines.rest())});
  if (!TakeTextAllocation(grid, allocation)) return false;
  grid.blank_value = kBlankValue;
  if (allocation == Allocation::kNoNodes) return true;

  // Data that end early or hold something that is no number leave the
  // nodes not read blank; the file is still taken.
  NodeTokens values(lines.rest());
  float* nodes = grid.nodes();
  const auto read_nodes = [&] {
    for (std::uint32_t r = 0; r < grid.nrows; ++r) {
      for (std::uint32_t c = 0; c < grid.ncols; ++c) {
        float value = 0;
        if (!values.NextFloat(value)) return false;
        nodes[static_cast<std::size_t>(c) * grid.nrows + r] = NodeFromDouble(value);
      }
    }
    return true;
  };
  if (!read_nodes()) grid.ShowError("\nError by reading grid");
  return FileStayed(grid, file);
}

}  // namespace torvane
