#include "grid/ReadGridValues.h"

#include <algorithm>
#include <new>
#include <utility>

#include "grid/Gridimport.h"

namespace torvane {

bool ReadGridValues(Reporter& platform, const std::string& path, GridValues& out,
                    GridFormat* format) {
  out = GridValues();
  TGridImport grid(platform);
  if (!grid.Load(path)) return false;
  GridValues values;
  values.ncols = grid.ncols();
  values.nrows = grid.nrows();
  values.xmin = grid.xmin();
  values.ymin = grid.ymin();
  values.dx = grid.dx();
  values.dy = grid.dy();
  try {
    values.nodes.resize(static_cast<std::size_t>(grid.ncols()) * grid.nrows());
  } catch (const std::bad_alloc&) {
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
