#include "residual/PointRing.h"

#include <algorithm>
#include <cmath>

namespace torvane {
namespace {

constexpr double kSquaredMargin = 1e-9;

// The cell range along one axis that holds every point within `reach` of
// `centre`: cells are filed by CellOf, which never decreases as the position
// grows, so the cells of the two window ends bound every cell between.
void AxisRange(double centre, double reach, double origin, double cell_size, std::int32_t cells,
               std::int64_t& first, std::int64_t& last) {
  // The window is widened by a hair beyond the reach so that rounding in the
  // subtraction cannot leave a point at exactly the reach outside it.
  const double widened = reach + (std::fabs(centre) + reach) * 1e-12;
  first = CellOf(centre - widened, 0, origin, 0, cell_size).ix;
  last = CellOf(centre + widened, 0, origin, 0, cell_size).ix;
  first = std::max<std::int64_t>(first, 0);
  last = std::min<std::int64_t>(last, cells - 1);
}

}  // namespace

PointRing::PointRing(const PointSet& points, const NeighbourCluster& cluster, double cell_size,
                     double radius, double band)
    : points_(points),
      cluster_(cluster),
      cell_size_(cell_size),
      lower_(radius - band - kRingTolerance),
      upper_(radius + band + kRingTolerance),
      lower_sq_(lower_ > 0 ? lower_ * lower_ * (1 - kSquaredMargin) : -1),
      upper_sq_(upper_ * upper_ * (1 + kSquaredMargin)) {
  // Bounds whose squares leave the double range make the cheap test useless;
  // the exact test alone then decides.
  if (!std::isfinite(lower_sq_)) lower_sq_ = -1;
}

bool PointRing::InBand(double dx, double dy) const {
  const double squared = dx * dx + dy * dy;
  if (std::isfinite(squared) && (squared > upper_sq_ || squared < lower_sq_)) return false;
  const double d = std::hypot(dx, dy);
  return lower_ <= d && d <= upper_;
}

RingValues PointRing::Gather(double x, double y) {
  RingValues ring;
  if (!(upper_ >= 0)) return ring;
  std::int64_t i0 = 0, i1 = 0, j0 = 0, j1 = 0;
  AxisRange(x, upper_, points_.min_x, cell_size_, cluster_.nx(), i0, i1);
  AxisRange(y, upper_, points_.min_y, cell_size_, cluster_.ny(), j0, j1);
  sum_.Reset();
  for (std::int64_t ix = i0; ix <= i1; ++ix) {
    for (std::int64_t iy = j0; iy <= j1; ++iy) {
      for (const std::int32_t k : cluster_.Cell(static_cast<std::int32_t>(ix),
                                                static_cast<std::int32_t>(iy))) {
        const SurveyPoint& other = points_.points[static_cast<std::size_t>(k)];
        if (!InBand(other.x - x, other.y - y)) continue;
        sum_.Add(other.cba);
        ++ring.n;
      }
    }
  }
  ring.sum = sum_.Result();
  return ring;
}

}  // namespace torvane
