#include "residual/RingStencil.h"

#include <algorithm>
#include <cmath>

#include "residual/RingDirections.h"

namespace torvane {

RingStencil BuildRingStencil(const GridValues& grid, const GridResidualRing& ring) {
  RingStencil stencil;
  const std::int32_t n = ring.ring_points;
  const double step = RingStep(n);
  stencil.cos.resize(static_cast<std::size_t>(n));
  stencil.sin.resize(static_cast<std::size_t>(n));
  for (std::int32_t k = 0; k < n; ++k) {
    const auto at = static_cast<std::size_t>(k);
    stencil.cos[at] = std::cos(RingAngle(k, step));
    stencil.sin[at] = std::sin(RingAngle(k, step));
    const auto extreme = [&](std::int32_t& best, const std::vector<double>& along, bool low) {
      const double held = along[static_cast<std::size_t>(best)];
      if (low ? along[at] < held : along[at] > held) best = k;
    };
    extreme(stencil.west, stencil.cos, true);
    extreme(stencil.east, stencil.cos, false);
    extreme(stencil.south, stencil.sin, true);
    extreme(stencil.north, stencil.sin, false);
  }
  // A window wider than the grid is never used; so neither are its weights.
  const double reach_x = ring.radius / grid.dx;
  const double reach_y = ring.radius / grid.dy;
  if (!(grid.dx > 0) || !(grid.dy > 0) || !(reach_x + 3 < grid.ncols) ||
      !(reach_y + 3 < grid.nrows)) {
    return stencil;
  }
  std::vector<RingWeight> corners;
  corners.reserve(4 * static_cast<std::size_t>(n));
  for (std::size_t k = 0; k < stencil.cos.size(); ++k) {
    const double ox = stencil.cos[k] * ring.radius / grid.dx;
    const double oy = stencil.sin[k] * ring.radius / grid.dy;
    const double fx = std::floor(ox);
    const double fy = std::floor(oy);
    const double t = ox - fx;
    const double u = oy - fy;
    const auto i = static_cast<std::int32_t>(fx);
    const auto j = static_cast<std::int32_t>(fy);
    corners.push_back({i, j, (1 - t) * (1 - u)});
    corners.push_back({i + 1, j, t * (1 - u)});
    corners.push_back({i + 1, j + 1, t * u});
    corners.push_back({i, j + 1, (1 - t) * u});
  }
  std::sort(corners.begin(), corners.end(), [](const RingWeight& a, const RingWeight& b) {
    return a.i != b.i ? a.i < b.i : a.j < b.j;
  });
  stencil.ilo = stencil.jlo = INT32_MAX;
  stencil.ihi = stencil.jhi = INT32_MIN;
  for (const RingWeight& corner : corners) {
    stencil.ilo = std::min(stencil.ilo, corner.i - 1);
    stencil.ihi = std::max(stencil.ihi, corner.i + 1);
    stencil.jlo = std::min(stencil.jlo, corner.j - 1);
    stencil.jhi = std::max(stencil.jhi, corner.j + 1);
    if (!stencil.weights.empty() && stencil.weights.back().i == corner.i &&
        stencil.weights.back().j == corner.j) {
      stencil.weights.back().w += corner.w;
    } else {
      stencil.weights.push_back(corner);
    }
  }
  stencil.reach.resize(static_cast<std::size_t>(stencil.ihi - stencil.ilo + 1));
  for (const RingWeight& corner : corners) {
    for (std::int32_t i = corner.i - 1; i <= corner.i + 1; ++i) {
      stencil.reach[static_cast<std::size_t>(i - stencil.ilo)].emplace_back(corner.j - 1,
                                                                            corner.j + 1);
    }
  }
  for (auto& runs : stencil.reach) {
    std::sort(runs.begin(), runs.end());
    std::size_t kept = 0;
    for (const auto& run : runs) {
      if (kept > 0 && run.first <= runs[kept - 1].second + 1) {
        runs[kept - 1].second = std::max(runs[kept - 1].second, run.second);
      } else {
        runs[kept++] = run;
      }
    }
    runs.resize(kept);
  }
  std::erase_if(stencil.weights, [](const RingWeight& weight) { return weight.w == 0; });
  for (RingWeight& weight : stencil.weights) {
    weight.delta = static_cast<std::ptrdiff_t>(weight.i) * grid.nrows + weight.j;
  }
  stencil.usable = true;
  return stencil;
}

}  // namespace torvane
