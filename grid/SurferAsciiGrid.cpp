// Surfer ASCII grid: "DSAA", then lines of the counts, the x extent, the y
// extent and the value range, then ncols x nrows numbers row by row from the
// south, each row from the west, separated by any white space. Written ten
// nodes to a line, an empty line after each row, CR LF line ends as Surfer
// writes them, the nodes in the shortest text that reads back as the same
// single-precision value.

#include <utility>

#include "grid/GridFormat.h"
#include "grid/GridText.h"

namespace torvane {
namespace {

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
  header.format = &kSurferAsciiFormat;
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

std::string RefuseSurferAsciiGrid(const GridToWrite& in) {
  if (in.grid.ncols < 2 || in.grid.nrows < 2) {
    return "a Surfer ASCII grid needs at least two columns and two rows";
  }
  return {};
}

bool WriteSurferAsciiGrid(const GridToWrite& in, GridFileBytes& out, std::string& /*reason*/) {
  const GridValues& grid = in.grid;
  out.Text("DSAA\r\n");
  out.Text(std::to_string(grid.ncols) + " " + std::to_string(grid.nrows) + "\r\n");
  for (const auto& [first, second] :
       {std::pair{grid.xmin, grid.xmax()}, {grid.ymin, grid.ymax()}, {in.low, in.high}}) {
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
  return true;
}

}  // namespace

const GridFormat kSurferAsciiFormat = {
    .name = "surfer-ascii",
    .recognise = IsSurferAsciiGrid,
    .read = ReadSurferAsciiGrid,
    .open_failure = OpenFailureMessage::kError,
    .refuse = RefuseSurferAsciiGrid,
    .write = WriteSurferAsciiGrid,
};

}  // namespace torvane
