#include "grid/ReadGridValues.h"

#include <algorithm>
#include <exception>
#include <utility>

#include "grid/Gridimport.h"

namespace torvane {
namespace {

// "sample_cba" of "data/sample_cba.grd".
std::string FileStem(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  const std::size_t dot = name.find_last_of('.');
  return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

}  // namespace

bool ReadGridValues(Reporter& platform, const std::string& path, GridValues& out,
                    const GridFormat** format) {
  out = GridValues();
  TGridImport grid(platform);
  if (!grid.Load(path)) return false;
  // Only grid mode samples the rows a short file holds; a copy of the grid
  // would pass a damaged file on as whole.
  if (grid.RefuseShortFile()) return false;
  if (grid.ncols() == 0 || grid.nrows() == 0) {
    platform.ShowMessage(path + ": the file holds no grid nodes", "Error", MessageButtons::kOk);
    return false;
  }
  GridValues values;
  values.ncols = grid.ncols();
  values.nrows = grid.nrows();
  values.xmin = grid.xmin();
  values.ymin = grid.ymin();
  values.dx = grid.dx();
  values.dy = grid.dy();
  values.crs = grid.crs();
  values.variable = grid.variable().empty() ? FileStem(path) : grid.variable();
  values.units = grid.units();
  try {
    values.nodes.resize(static_cast<std::size_t>(grid.ncols()) * grid.nrows());
  } catch (const std::exception&) {  // bad_alloc, or a count beyond what a vector holds
    platform.ShowMessage("Not enough memory for grid " + path, "Error", MessageButtons::kOk);
    return false;
  }
  if (grid.in_memory()) {
    std::copy_n(grid.nodes(), values.nodes.size(), values.nodes.begin());
  } else {
    for (std::uint32_t c = 0; c < grid.ncols(); ++c) {
      for (std::uint32_t r = 0; r < grid.nrows(); ++r) values.At(c, r) = grid.Node(c, r);
    }
  }
  if (!grid.FileUnchanged()) return false;
  out = std::move(values);
  if (format != nullptr) *format = grid.format();
  return true;
}

}  // namespace torvane
