#include "residual/RadiusSweep.h"

#include <algorithm>

#include "common/ParallelBlocks.h"
#include "residual/PointRing.h"
#include "residual/RingResidual.h"

namespace torvane {

std::uint64_t SweepMemory(std::size_t radii, std::size_t count) {
  constexpr std::uint64_t kPerPoint =
      sizeof(double) + sizeof(std::int32_t) + sizeof(std::uint8_t);
  return static_cast<std::uint64_t>(radii) * count * kPerPoint;
}

std::vector<SweepColumn> SweepRadii(Reporter& platform, const PointSet& points,
                                    const std::vector<SweepRadius>& radii,
                                    const RingBlanking& blanking,
                                    const std::atomic<bool>* cancel, const RingStep& step) {
  std::vector<SweepColumn> columns(radii.size());
  if (radii.empty()) return columns;
  const std::size_t count = points.points.size();
  // One index for all radii, its cells laid for the widest ring.
  const auto widest = std::max_element(radii.begin(), radii.end(), [](const auto& a, const auto& b) {
    return a.radius + a.band < b.radius + b.band;
  });
  PointRing ring(points, widest->radius, widest->band);
  const std::vector<std::uint32_t>& order = ring.order();

  const auto threads = static_cast<std::size_t>(WorkerThreads());
  std::vector<ExactSum> sums(threads);
  std::vector<RingMembers> members(threads);
  // Only whether the gap passes 180 degrees is wanted, unless a gap limit
  // blanks points: then the exact gap, as a single run works it out.
  const QualityNeeds needs{blanking.NeedsGap(), false};

  const auto total = static_cast<int>(std::min<std::size_t>(count * radii.size(), INT32_MAX));
  platform.SetProgressRange(0, total);
  platform.SetProgressPosition(0);
  platform.ProcessEvents();
  for (std::size_t r = 0; r < radii.size() && !(cancel != nullptr && cancel->load()); ++r) {
    SweepColumn& column = columns[r];
    column.ring = radii[r];
    column.residual.resize(count);
    column.n.resize(count);
    column.gap_over_180.resize(count);
    ring.SetLimits(radii[r].radius, radii[r].band);
    const std::size_t done_before = r * count;
    const bool went_on = RunInBlocks(
        order.size(),
        [&](std::size_t k, int thread) {
          if (k + kRingPrefetchAhead < order.size()) {
            const std::uint32_t ahead = order[k + kRingPrefetchAhead];
            __builtin_prefetch(&points.points[ahead].x);
            __builtin_prefetch(&column.residual[ahead], 1);
            __builtin_prefetch(&column.n[ahead], 1);
            __builtin_prefetch(&column.gap_over_180[ahead], 1);
          }
          const std::uint32_t i = order[k];
          const SurveyPoint& p = points.points[i];
          const auto t = static_cast<std::size_t>(thread);
          RingQuality quality;
          const RingValues values =
              ring.GatherWithQuality(p.x, p.y, sums[t], members[t], needs, quality);
          column.residual[i] = RingResidual(p.cba, values, quality, blanking);
          column.n[i] = values.n;
          column.gap_over_180[i] = quality.gap > 180;
        },
        [&](std::size_t done) {
          platform.SetProgressPosition(
              static_cast<int>(std::min<std::size_t>(done_before + done, INT32_MAX)));
          platform.ProcessEvents();
          return (cancel == nullptr || !cancel->load()) && (!step || step(done_before + done));
        });
    if (!went_on) return {};
  }
  return columns;
}

}  // namespace torvane
