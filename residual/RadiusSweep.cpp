#include "residual/RadiusSweep.h"

#include <algorithm>

#include "common/ParallelBlocks.h"
#include "residual/PointRing.h"
#include "residual/RingResidual.h"

namespace torvane {
namespace {

// Radii whose rings one pass gathers together: with more, the candidates
// of the widest would be tested against too many bands each.
constexpr std::size_t kBandsAtOnce = 16;

}  // namespace

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
  const auto total = static_cast<int>(std::min<std::size_t>(count * radii.size(), INT32_MAX));
  platform.SetProgressRange(0, total);
  platform.SetProgressPosition(0);
  platform.ProcessEvents();
  for (std::size_t r = 0; r < radii.size(); ++r) {
    columns[r].ring = radii[r];
    columns[r].residual.resize(count);
    columns[r].n.resize(count);
    columns[r].gap_over_180.resize(count);
  }
  const auto went_on = [&](std::size_t done_before, std::size_t done, std::size_t per_point) {
    const std::size_t done_all = done_before + done * per_point;
    platform.SetProgressPosition(static_cast<int>(std::min<std::size_t>(done_all, INT32_MAX)));
    platform.ProcessEvents();
    return (cancel == nullptr || !cancel->load()) && (!step || step(done_all));
  };
  std::vector<RingBand> bands;
  for (const SweepRadius& radius : radii) bands.push_back(RingBand::Of(radius.radius, radius.band));
  std::vector<RingMembers> members(threads);

  // The common case: the radii a few at a time, each point's neighbours
  // read once for them all. Whether the gap passes 180 degrees is settled
  // by the quadrants the ring's points fill, or, for the few rings that
  // leave one empty, from their points.
  if (!blanking.NeedsGap() && ring.GathersBandsAtOnce(bands)) {
    std::vector<BandScratch> scratch(threads);
    for (std::size_t first = 0; first < radii.size(); first += kBandsAtOnce) {
      const std::size_t group = std::min(kBandsAtOnce, radii.size() - first);
      const std::span<const RingBand> group_bands(bands.data() + first, group);
      ring.CoverBands(group_bands);
      std::vector<RingValues> rings(threads * group);
      std::vector<unsigned> quadrants(threads * group);
      const QualityNeeds needs{false, false};
      const bool going = RunInBlocks(
          order.size(),
          [&](std::size_t k, int thread) {
            if (k + kRingPrefetchAhead < order.size()) {
              __builtin_prefetch(&points.points[order[k + kRingPrefetchAhead]].x);
            }
            const std::uint32_t i = order[k];
            const SurveyPoint& p = points.points[i];
            const auto t = static_cast<std::size_t>(thread);
            RingValues* values = rings.data() + t * group;
            unsigned* filled = quadrants.data() + t * group;
            ring.GatherBands(p.x, p.y, group_bands, scratch[t], values, filled);
            for (std::size_t b = 0; b < group; ++b) {
              RingQuality quality;  // a gap of 360 with fewer than two points
              if (filled[b] == kAllQuadrants) {
                quality.gap = 180;
              } else if (values[b].n >= 2) {
                quality = ring.BandQuality(p.x, p.y, group_bands[b], values[b].Mean(), members[t],
                                           needs);
              }
              SweepColumn& column = columns[first + b];
              column.residual[i] = RingResidual(p.cba, values[b], quality, blanking);
              column.n[i] = values[b].n;
              column.gap_over_180[i] = quality.gap > 180;
            }
          },
          [&](std::size_t done) { return went_on(first * count, done, group); });
      if (!going) return {};
    }
    return columns;
  }

  std::vector<ExactSum> sums(threads);
  // Only whether the gap passes 180 degrees is wanted, unless a gap limit
  // blanks points: then the exact gap, as a single run works it out.
  const QualityNeeds needs{blanking.NeedsGap(), false};
  for (std::size_t r = 0; r < radii.size() && !(cancel != nullptr && cancel->load()); ++r) {
    SweepColumn& column = columns[r];
    ring.SetLimits(radii[r].radius, radii[r].band);
    const std::size_t done_before = r * count;
    const bool going = RunInBlocks(
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
        [&](std::size_t done) { return went_on(done_before, done, 1); });
    if (!going) return {};
  }
  return columns;
}

}  // namespace torvane
