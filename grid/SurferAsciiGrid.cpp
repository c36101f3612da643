// Surfer ASCII grid: "DSAA", then lines of the counts, the x extent, the y
// extent and the value range, then ncols x nrows numbers row by row from the
// south, each row from the west, separated by any white space.

#include "grid/GridReaders.h"
#include "grid/GridText.h"

namespace torvane {

bool IsSurferAsciiGrid(std::span<const unsigned char> head) {
  return std::string_view(reinterpret_cast<const char*>(head.data()), head.size()).starts_with("DSAA");
}

bool ReadSurferAsciiGrid(TGridImport& grid, MappedFile& file, const std::string& path) {
  if (!ReadWholeFile(grid, file, path)) return false;
  TextLines lines(file.text());
  std::string_view line;
  if (!lines.Next(line) || !line.starts_with("DSAA")) return false;

  const char separator = grid.DecimalSeparator();
  double pairs[4][2] = {};
  for (auto& pair : pairs) {
    if (!lines.Next(line) || !ParseNumberPair(line, separator, pair[0], pair[1])) return false;
  }
  std::uint32_t ncols = 0;
  std::uint32_t nrows = 0;
  if (!GridCount(grid, "nx", pairs[0][0], ncols) || !GridCount(grid, "ny", pairs[0][1], nrows)) {
    return false;
  }
  GridHeader header;
  header.format = GridFormat::SurferAscii;
  header.geometry =
      GridGeometry::FromExtents(ncols, nrows, pairs[1][0], pairs[1][1], pairs[2][0], pairs[2][1]);
  header.zmin = pairs[3][0];
  header.zmax = pairs[3][1];
  const Allocation allocation = grid.Accept(header, {.nodes = MostTextNodes(lines.rest()), .file_bytes = file.size()});
  if (!TakeTextAllocation(grid, allocation)) return false;
  if (allocation == Allocation::kNoNodes) return true;

  // Data that end early or hold something that is no number leave the
  // nodes not read blank; the file is still taken.
  float* nodes = grid.nodes();
  nrows = grid.nrows();
  const std::uint64_t count = std::uint64_t{ncols} * nrows;
  // The file's first row is the southernmost.
  const auto node = [&](std::uint64_t i) -> float& { return nodes[i % ncols * nrows + i / ncols]; };
  const std::uint64_t values_read =
      ReadNodeValues<float>(lines.rest(), count, [&](std::uint64_t i, float value) {
        node(i) = NodeFromDouble(value);
      });
  if (values_read < count) {
    for (std::uint64_t i = values_read; i < count; ++i) node(i) = kBlankNode;
    grid.NoteNodesFound(values_read);
    grid.ShowError("\nError by reading grid");
  }
  return FileStayed(grid, file);
}

}  // namespace torvane
