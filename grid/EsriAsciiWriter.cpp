// ESRI ASCII grid: the header lines, then the nodes row by row from the
// north, each row on a line of its own. The lower-left corner is the outer
// corner of the south-west cell, half a cell before the first node. The
// grid's CRS, when known, goes into a `.prj` file beside it, as GDAL writes it.

#include <cmath>

#include "common/AtomicFile.h"
#include "grid/GridCrs.h"
#include "grid/GridFileBytes.h"
#include "grid/GridFileWriters.h"

namespace torvane {
namespace {

// The usual -9999, or when a node lies near it, a round number below every
// node.
double ChooseNodata(const GridValues& grid) {
  constexpr double kUsual = -9999;
  constexpr double kClearance = 1e-3;
  bool clash = false;
  for (const float value : grid.nodes) {
    if (!IsBlank(value) && std::fabs(value - kUsual) <= kClearance) clash = true;
  }
  if (!clash) return kUsual;
  double low = 0;
  double high = 0;
  NodeRange(grid, low, high);
  return std::floor(low) - 9999;
}

}  // namespace

bool WriteEsriAsciiGrid(const GridValues& grid, const std::string& path, std::string& reason) {
  if (!(grid.dx > 0) || !(grid.dy > 0)) {
    reason = "an ESRI ASCII grid needs cells of positive size along both axes";
    return false;
  }
  // The CRS goes into a .prj file beside the grid, made before anything is
  // written and put in place after the grid.
  std::string prj;
  if (!grid.crs.empty() && !EsriPrjText(grid.crs, prj, reason)) return false;
  GridFileBytes out(path);
  AtomicFile prj_file(prj.empty() ? std::string() : PrjPathOf(path));
  if (!out.ok() || (!prj.empty() && !prj_file.ok())) {
    reason = FileWriteFailure(out.ok() ? prj_file.error() : out.error());
    return false;
  }
  const double nodata = ChooseNodata(grid);
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
  if (!out.Commit()) {
    reason = FileWriteFailure(out.error());
    return false;
  }
  if (prj.empty() || (prj_file.Write(prj.data(), prj.size()) && prj_file.Commit())) return true;
  reason = "its coordinate reference system could not be written to " + PrjPathOf(path);
  return false;
}

}  // namespace torvane
