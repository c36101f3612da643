// ESRI ASCII grid: six header lines of a keyword and a number, in a fixed
// order, then nrows x ncols numbers row by row from the north, each row from
// the west. xllcorner and yllcorner are the outer corner of the south-west
// cell, so the first node (a cell's centre) lies half a cell inside it.

#include <array>
#include <cctype>
#include <cmath>

#include "grid/GridReaders.h"
#include "grid/GridText.h"

namespace torvane {
namespace {

constexpr std::array<std::string_view, 6> kKeywords = {"ncols",     "nrows",    "xllcorner",
                                                       "yllcorner", "cellsize", "nodata_value"};
constexpr double kMissingTolerance = 1e-6;

bool EqualsLowerCased(std::string_view text, std::string_view lower) {
  if (text.size() != lower.size()) return false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(text[i])) != lower[i]) return false;
  }
  return true;
}

}  // namespace

bool ReadEsriAsciiGrid(TGridImport& grid, const std::string& path) {
  MappedFile file;
  if (!file.Open(path)) {
    grid.ShowOpenError("Error by opening file " + path, path, file.error(), false);
    return false;
  }
  TextLines lines(file.text());
  const char separator = grid.DecimalSeparator();
  std::array<double, kKeywords.size()> header{};
  for (std::size_t i = 0; i < kKeywords.size(); ++i) {
    std::string_view line;
    std::string_view keyword;
    if (!lines.Next(line) || !ParseKeywordLine(line, separator, keyword, header[i]) ||
        !EqualsLowerCased(keyword, kKeywords[i])) {
      return false;
    }
  }
  const double cellsize = header[4];
  const double nodata = header[5];
  if (!GridCount(header[0], grid.ncols) || !GridCount(header[1], grid.nrows)) return false;
  grid.xmin = header[2] + cellsize / 2;
  grid.ymin = header[3] + cellsize / 2;
  grid.dx = cellsize;
  grid.dy = cellsize;
  grid.format = GridFormat::EsriAscii;
  const Allocation allocation = grid.CompleteFromSpacing(
      {.nodes = MostTextNodes(lines.rest()), .rows_from_north = true});
  if (!TakeTextAllocation(grid, allocation)) return false;
  if (allocation == Allocation::kNoNodes) return true;

  // Data that end early or hold something that is no number leave the
  // nodes not read blank; the file is still taken.
  NodeTokens values(lines.rest());
  float* nodes = grid.nodes();
  const auto read_nodes = [&] {
    for (std::uint32_t k = 0; k < grid.nrows; ++k) {
      const std::uint32_t r = grid.nrows - 1 - k;  // the file's first row is the northernmost
      for (std::uint32_t c = 0; c < grid.ncols; ++c) {
        double value = 0;
        if (!values.NextDouble(value)) return false;
        const bool missing =
            nodata - kMissingTolerance <= value && value <= nodata + kMissingTolerance;
        nodes[static_cast<std::size_t>(c) * grid.nrows + r] =
            missing ? kBlankNode : NodeFromDouble(value);
      }
    }
    return true;
  };
  if (!read_nodes()) grid.ShowError("\nError by reading grid");
  grid.MeasureNodeRange();
  return FileStayed(grid, file);
}

}  // namespace torvane
