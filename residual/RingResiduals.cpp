#include "residual/RingResiduals.h"

#include "common/ParallelBlocks.h"
#include "residual/CellGrid.h"
#include "residual/GridRing.h"
#include "residual/PointRing.h"

namespace torvane {

// The rings are gathered neighbour after neighbour, on every core, each
// point's residual stored in the point; `step` follows one point at a time.
RingOutcome GatherPointRings(PointSet& points, double radius, double band,
                             std::vector<int>& ring_counts, const RingStep& step) {
  const PointRing ring(points, radius, band);
  const std::vector<std::uint32_t>& order = ring.order();
  ring_counts.assign(points.points.size(), 0);
  std::vector<ExactSum> sums(static_cast<std::size_t>(WorkerThreads()));
  const bool done = RunInBlocks(
      order.size(),
      [&](std::size_t k, int thread) {
        SurveyPoint& p = points.points[order[k]];
        const RingValues values = ring.Gather(p.x, p.y, sums[static_cast<std::size_t>(thread)]);
        p.residual = values.n >= 1 ? p.cba - values.Mean() : 0.0;
        ring_counts[order[k]] = values.n;
      },
      step);
  return done ? RingOutcome::kDone : RingOutcome::kStopped;
}

// The grid is sampled around the file coordinates of each point.
RingOutcome GatherGridRings(PointSet& points, const TGridImport& grid, double radius,
                            std::int32_t ring_points, bool use_interpolated_cba,
                            std::vector<int>& ring_counts, const RingStep& step) {
  const GridRing ring(grid, radius, ring_points, use_interpolated_cba);
  const CellGrid neighbours(points, radius);
  const std::vector<std::uint32_t>& order = neighbours.order();
  ring_counts.assign(points.points.size(), 0);
  const bool done = RunInBlocks(
      order.size(),
      [&](std::size_t k, int) {
        SurveyPoint& p = points.points[order[k]];
        const double xf = p.x - points.shift_x;
        const double yf = p.y - points.shift_y;
        const double centre = ring.CentreValue(xf, yf, p.cba);
        const RingValues values = ring.Gather(xf, yf);
        p.residual = values.n >= 1 ? centre - values.Mean() : 0.0;
        ring_counts[order[k]] = values.n;
      },
      step);
  return done ? RingOutcome::kDone : RingOutcome::kStopped;
}

}  // namespace torvane
