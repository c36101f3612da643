#pragma once
// The radius sweep: the residual of every point for a list of ring radii,
// each with its band, from one reading and one index of the points. Each
// radius's residuals and ring counts are those a single run at that radius
// and band gives, digit for digit.

#include <atomic>
#include <cstdint>
#include <vector>

#include "common/Reporter.h"
#include "residual/RingResiduals.h"
#include "points/PointSet.h"
#include "residual/RingQuality.h"

namespace torvane {

struct SweepRadius {
  double radius = 0;  // R
  double band = 0;    // D, 0 <= D <= R
};

// One radius's results, point by point in table order.
struct SweepColumn {
  SweepRadius ring;
  std::vector<double> residual;  // NaN where blanked
  std::vector<std::int32_t> n;
  std::vector<std::uint8_t> gap_over_180;  // 1 where the ring's GAP exceeds 180 degrees
};

// Fills one column per radius, in the given order. The progress bar runs
// over all radii and points; pending events are processed as in a single
// run. Raising `cancel` (from another thread) ends the sweep soon; the
// columns are then incomplete. `step`, when given, is called as the points
// are done (their count over all radii so far) and stops the sweep by
// answering false: the answer is then empty. Throws std::bad_alloc when
// memory runs out.
std::vector<SweepColumn> SweepRadii(Reporter& platform, const PointSet& points,
                                    const std::vector<SweepRadius>& radii,
                                    const RingBlanking& blanking,
                                    const std::atomic<bool>* cancel = nullptr,
                                    const RingStep& step = {});

// The bytes the columns of `radii` take for `count` points.
std::uint64_t SweepMemory(std::size_t radii, std::size_t count);

}  // namespace torvane
