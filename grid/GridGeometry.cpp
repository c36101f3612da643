#include "grid/GridGeometry.h"

#include <cmath>
#include <limits>

namespace torvane {

GridGeometry GridGeometry::FromExtents(std::uint32_t ncols, std::uint32_t nrows, double xmin,
                                       double xmax, double ymin, double ymax) {
  GridGeometry g;
  g.ncols = ncols;
  g.nrows = nrows;
  g.xmin = xmin;
  g.xmax = xmax;
  g.xrange = xmax - xmin;
  g.dx = g.xrange / (static_cast<double>(ncols) - 1);
  g.ymin = ymin;
  g.ymax = ymax;
  g.yrange = ymax - ymin;
  g.dy = g.yrange / (static_cast<double>(nrows) - 1);
  return g;
}

GridGeometry GridGeometry::FromSpacing(std::uint32_t ncols, std::uint32_t nrows, double xmin,
                                       double ymin, double dx, double dy) {
  GridGeometry g;
  g.ncols = ncols;
  g.nrows = nrows;
  g.xmin = xmin;
  g.dx = dx;
  g.xrange = (static_cast<double>(ncols) - 1) * dx;
  g.xmax = xmin + g.xrange;
  g.ymin = ymin;
  g.dy = dy;
  g.yrange = (static_cast<double>(nrows) - 1) * dy;
  g.ymax = ymin + g.yrange;
  return g;
}

bool GridGeometry::IsSound() const {
  constexpr std::uint32_t kMaxCount = std::numeric_limits<std::int32_t>::max();
  const auto axis_sound = [](std::uint32_t count, double origin, double spacing, double end) {
    if (count < 1 || count > kMaxCount || !std::isfinite(origin)) return false;
    return count == 1 || (std::isfinite(spacing) && spacing != 0 && std::isfinite(end));
  };
  return axis_sound(ncols, xmin, dx, xmax) && axis_sound(nrows, ymin, dy, ymax);
}

void GridGeometry::KeepRows(std::uint32_t kept, bool from_north) {
  if (from_north) ymin += static_cast<double>(nrows - kept) * dy;
  nrows = kept;
  yrange = (static_cast<double>(nrows) - 1) * dy;
  ymax = ymin + yrange;
}

}  // namespace torvane
