// ESRI ASCII grid: header lines of a keyword and a number, in a fixed
// order, then nrows x ncols numbers row by row from the north, each row from
// the west. The header is ncols, nrows, then xllcorner and yllcorner (the
// outer corner of the south-west cell, so the first node, a cell's centre,
// lies half a cell inside it) or xllcenter and yllcenter (the first node
// itself), then cellsize, or dx and dy for cells that are not square, and
// last nodata_value.

#include <array>
#include <cctype>
#include <cmath>

#include "grid/GridCrs.h"
#include "grid/GridReaders.h"
#include "grid/GridText.h"

namespace torvane {
namespace {

constexpr double kMissingTolerance = 1e-6;

bool EqualsLowerCased(std::string_view text, std::string_view lower) {
  if (text.size() != lower.size()) return false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(text[i])) != lower[i]) return false;
  }
  return true;
}

// The header lines one by one: each must hold one of the keywords a caller
// allows at that place.
class HeaderLines {
 public:
  HeaderLines(TextLines& lines, char separator) : lines_(lines), separator_(separator) {}

  // The number of the next line when its keyword is `keyword`; otherwise
  // nothing, and the line is still to be read.
  bool Take(std::string_view keyword, double& number) {
    if (!Peek()) return false;
    if (!EqualsLowerCased(keyword_, keyword)) return false;
    number = number_;
    peeked_ = false;
    return true;
  }

 private:
  bool Peek() {
    if (peeked_) return true;
    std::string_view line;
    if (!lines_.Next(line) || !ParseKeywordLine(line, separator_, keyword_, number_)) {
      return false;
    }
    peeked_ = true;
    return true;
  }

  TextLines& lines_;
  char separator_;
  bool peeked_ = false;
  std::string_view keyword_;
  double number_ = 0;
};

}  // namespace

bool ReadEsriAsciiGrid(TGridImport& grid, MappedFile& file, const std::string& path) {
  if (!ReadWholeFile(grid, file, path)) return false;
  TextLines lines(file.text());
  HeaderLines header(lines, grid.DecimalSeparator());
  double ncols = 0, nrows = 0, x = 0, y = 0, dx = 0, dy = 0, nodata = 0;
  if (!header.Take("ncols", ncols) || !header.Take("nrows", nrows)) return false;
  const bool corner = header.Take("xllcorner", x);
  if (!corner && !header.Take("xllcenter", x)) return false;
  if (!header.Take(corner ? "yllcorner" : "yllcenter", y)) return false;
  if (header.Take("cellsize", dx)) {
    dy = dx;
  } else if (!header.Take("dx", dx) || !header.Take("dy", dy)) {
    return false;
  }
  if (!header.Take("nodata_value", nodata)) return false;
  std::uint32_t columns = 0;
  std::uint32_t rows = 0;
  if (!GridCount(grid, "ncols", ncols, columns) || !GridCount(grid, "nrows", nrows, rows)) {
    return false;
  }
  GridHeader read;
  read.format = GridFormat::EsriAscii;
  read.crs = ReadPrjBeside(path);
  read.geometry = GridGeometry::FromSpacing(columns, rows, corner ? x + dx / 2 : x,
                                            corner ? y + dy / 2 : y, dx, dy);
  const Allocation allocation =
      grid.Accept(read, {.nodes = MostTextNodes(lines.rest()), .rows_from_north = true, .file_bytes = file.size()});
  if (!TakeTextAllocation(grid, allocation)) return false;
  if (allocation == Allocation::kNoNodes) return true;

  // Data that end early or hold something that is no number leave the
  // nodes not read blank; the file is still taken.
  float* nodes = grid.nodes();
  rows = grid.nrows();
  const std::uint64_t count = std::uint64_t{columns} * rows;
  // The file's first row is the northernmost.
  const auto node = [&](std::uint64_t i) -> float& {
    return nodes[i % columns * rows + (rows - 1 - i / columns)];
  };
  const std::uint64_t values_read =
      ReadNodeValues<double>(lines.rest(), count, [&](std::uint64_t i, double value) {
        const bool missing =
            nodata - kMissingTolerance <= value && value <= nodata + kMissingTolerance;
        node(i) = missing ? kBlankNode : NodeFromDouble(value);
      });
  if (values_read < count) {
    for (std::uint64_t i = values_read; i < count; ++i) node(i) = kBlankNode;
    grid.NoteNodesFound(values_read);
    grid.ShowError("\nError by reading grid");
  }
  grid.MeasureNodeRange();
  return FileStayed(grid, file);
}

}  // namespace torvane
