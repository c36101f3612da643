#include "residual/RingResiduals.h"

#include <optional>

#include "common/ParallelBlocks.h"
#include "residual/GridRing.h"
#include "residual/PointRing.h"
#include "residual/RingIndex.h"
#include "residual/RingResidual.h"

namespace torvane {
// The rings are gathered neighbour after neighbour, on every core, each
// point's residual stored in the point; `step` follows one point at a time.
// The grid is sampled around the file coordinates of each point.
RingOutcome GatherRings(PointSet& points, const RingSettings& settings, RingResults& results,
                        const RingStep& step) {
  std::optional<GridRing> grid_ring;
  std::optional<PointRing> point_ring;
  std::optional<RingIndex> neighbours;  // grid mode: only the order of the points
  if (!step(0)) return RingOutcome::kStopped;
  if (settings.grid != nullptr) {
    grid_ring.emplace(*settings.grid, settings.radius, settings.ring_points,
                      settings.use_interpolated_cba);
    neighbours.emplace(points, -1.0, settings.radius);
  } else {
    point_ring.emplace(points, settings.radius, settings.band);
  }
  if (!step(0)) return RingOutcome::kStopped;
  const std::vector<std::uint32_t>& order = point_ring ? point_ring->order() : neighbours->order();
  results.ring_counts.assign(points.points.size(), 0);
  std::vector<ExactSum> sums(static_cast<std::size_t>(WorkerThreads()));
  // The quality only when it is asked for or decides a blanking: it costs
  // more than the ring itself.
  const bool with_quality = settings.quality || settings.blanking.NeedsGap();
  const QualityNeeds needs{true, settings.quality};
  results.qualities.assign(with_quality ? points.points.size() : 0, RingQuality{});
  std::vector<RingMembers> members(with_quality ? sums.size() : 0);
  const bool done = RunInBlocks(
      order.size(),
      [&](std::size_t k, int thread) {
        // The points are visited in the index's order, scattered over the
        // file's: their reads and writes are asked for a few rings ahead.
        if (k + kRingPrefetchAhead < order.size()) {
          const SurveyPoint& ahead = points.points[order[k + kRingPrefetchAhead]];
          __builtin_prefetch(&ahead.x, 1);
          __builtin_prefetch(&ahead.residual, 1);  // maybe the next cache line
          __builtin_prefetch(&results.ring_counts[order[k + kRingPrefetchAhead]], 1);
        }
        SurveyPoint& p = points.points[order[k]];
        const auto t = static_cast<std::size_t>(thread);
        double centre = p.cba;
        RingValues values;
        RingQuality quality;
        if (grid_ring) {
          const double xf = p.x - points.shift_x;
          const double yf = p.y - points.shift_y;
          centre = grid_ring->CentreValue(xf, yf, p.cba);
          values = with_quality ? grid_ring->GatherWithQuality(xf, yf, members[t], quality)
                                : grid_ring->Gather(xf, yf);
        } else {
          values = with_quality ? point_ring->GatherWithQuality(p.x, p.y, sums[t], members[t],
                                                                needs, quality)
                                : point_ring->Gather(p.x, p.y, sums[t]);
        }
        p.residual = RingResidual(centre, values, quality, settings.blanking);
        results.ring_counts[order[k]] = values.n;
        if (with_quality) results.qualities[order[k]] = quality;
      },
      step);
  return done ? RingOutcome::kDone : RingOutcome::kStopped;
}

}  // namespace torvane
