// ESRI ASCII grid: header lines of a keyword and a number, in a fixed
// order, then nrows x ncols numbers row by row from the north, each row from
// the west. The header is ncols, nrows, then xllcorner and yllcorner (the
// outer corner of the south-west cell, so the first node, a cell's centre,
// lies half a cell inside it) or xllcenter and yllcenter (the first node
// itself), then cellsize, or dx and dy for cells that are not square, and
// last nodata_value. Written with the corner, cellsize (or dx and dy), and
// a NODATA_value that no node holds. The grid's CRS, when known, goes into a
// `.prj` file beside it, as GDAL writes it.

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>

#include "grid/GridCrs.h"
#include "grid/GridFormat.h"
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

// A text whose first word (after spaces and quotes) begins like one of the
// header keywords.
bool IsEsriAsciiGrid(std::span<const unsigned char> head) {
  static constexpr std::string_view kKeywords[] = {
      "ncols", "nrows", "xllcorner", "yllcorner", "xllcenter", "yllcenter",
      "cellsize", "dx", "dy", "nodata_value"};
  std::string_view text(reinterpret_cast<const char*>(head.data()),
                        std::min<std::size_t>(head.size(), 256));
  const std::size_t start = text.find_first_not_of(" \t\r\n\"'");
  if (start == std::string_view::npos) return false;
  text.remove_prefix(start);
  for (const std::string_view keyword : kKeywords) {
    if (text.size() < keyword.size()) continue;
    bool same = true;
    for (std::size_t i = 0; i < keyword.size() && same; ++i) {
      same = std::tolower(static_cast<unsigned char>(text[i])) == keyword[i];
    }
    if (same) return true;
  }
  return false;
}

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
  read.format = &kEsriAsciiFormat;
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

// The usual -9999, or when a node lies near it, a round number below every
// node.
double ChooseNodata(const GridToWrite& in) {
  constexpr double kUsual = -9999;
  constexpr double kClearance = 1e-3;
  bool clash = false;
  for (const float value : in.grid.nodes) {
    if (!IsBlank(value) && std::fabs(value - kUsual) <= kClearance) clash = true;
  }
  return clash ? std::floor(in.low) - 9999 : kUsual;
}

std::string RefuseEsriAsciiGrid(const GridToWrite& in) {
  if (!(in.grid.dx > 0) || !(in.grid.dy > 0)) {
    return "an ESRI ASCII grid needs cells of positive size along both axes";
  }
  return {};
}

// The lower-left corner is the outer corner of the south-west cell, half a
// cell before the first node; the rows from the north, each on a line.
bool WriteEsriAsciiGrid(const GridToWrite& in, GridFileBytes& out, std::string& /*reason*/) {
  const GridValues& grid = in.grid;
  const double nodata = ChooseNodata(in);
  out.Text("ncols " + std::to_string(grid.ncols) + "\n");
  out.Text("nrows " + std::to_string(grid.nrows) + "\n");
  out.Text("xllcorner ");
  out.Number(grid.xmin - grid.dx / 2);
  out.Text("\nyllcorner ");
  out.Number(grid.ymin - grid.dy / 2);
  if (grid.dx == grid.dy) {
    out.Text("\ncellsize ");
    out.Number(grid.dx);
  } else {
    out.Text("\ndx ");
    out.Number(grid.dx);
    out.Text("\ndy ");
    out.Number(grid.dy);
  }
  out.Text("\nNODATA_value ");
  out.Number(nodata);
  out.Text("\n");
  for (std::uint32_t row = grid.nrows; row-- > 0;) {
    for (std::uint32_t c = 0; c < grid.ncols; ++c) {
      const float value = grid.At(c, row);
      if (IsBlank(value)) {
        out.Number(nodata);
      } else {
        out.Number(value);
      }
      out.Text(c + 1 == grid.ncols ? "\n" : " ");
    }
  }
  return true;
}

bool EsriPrjFile(const GridToWrite& in, const std::string& path, SideFile& side,
                 std::string& reason) {
  if (in.grid.crs.empty()) return true;
  if (!EsriPrjText(in.grid.crs, side.text, reason)) return false;
  side.path = PrjPathOf(path);
  return true;
}

}  // namespace

const GridFormat kEsriAsciiFormat = {
    .name = "esri",
    .extensions = {"asc"},
    .recognise = IsEsriAsciiGrid,
    .read = ReadEsriAsciiGrid,
    .open_failure = OpenFailureMessage::kNote,
    .refuse = RefuseEsriAsciiGrid,
    .write = WriteEsriAsciiGrid,
    .side_file = EsriPrjFile,
    .keeps_crs = true,
};

}  // namespace torvane
