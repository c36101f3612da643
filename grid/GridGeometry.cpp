#include "grid/GridGeometry.h"

#include <cmath>
#include <cstdio>
#include <limits>

namespace torvane {
namespace {

// A header's number as a person reads it: "%g".
std::string HeaderNumber(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", value);
  return text;
}

}  // namespace

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

std::string GridGeometry::Problem() const {
  constexpr std::uint32_t kMaxCount = std::numeric_limits<std::int32_t>::max();
  const auto axis_problem = [](char axis, std::uint32_t count, double origin, double spacing,
                               double end) -> std::string {
    const std::string name(1, axis);
    if (count < 1 || count > kMaxCount) {
      return std::to_string(count) + " nodes along " + name + " is not a count from 1 to " +
             std::to_string(kMaxCount);
    }
    if (!std::isfinite(origin)) return name + " origin " + HeaderNumber(origin) + " is not finite";
    if (count == 1) return {};
    if (!std::isfinite(spacing) || spacing == 0) {
      return name + " spacing " + HeaderNumber(spacing) +
             (spacing == 0 ? ": the nodes would lie on one another" : " is not finite");
    }
    if (!std::isfinite(end)) {
      return name + " spacing " + HeaderNumber(spacing) + " over " + std::to_string(count) +
             " nodes reaches beyond the number range";
    }
    return {};
  };
  std::string problem = axis_problem('x', ncols, xmin, dx, xmax);
  return problem.empty() ? axis_problem('y', nrows, ymin, dy, ymax) : problem;
}

void GridGeometry::KeepRows(std::uint32_t kept, bool from_north) {
  if (from_north) ymin += static_cast<double>(nrows - kept) * dy;
  nrows = kept;
  yrange = (static_cast<double>(nrows) - 1) * dy;
  ymax = ymin + yrange;
}

}  // namespace torvane
