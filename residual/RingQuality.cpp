#include "residual/RingQuality.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>

#include "residual/Lanes.h"

namespace torvane {
namespace {

constexpr double kPi = 3.141592653589793;
constexpr int kSectors = 8;
constexpr double kHalfCircle = 180;

// Three empty sectors in a row, going round: a gap of more than 180 degrees
// always holds three whole sectors, so without such a run the gap is at
// most 180.
bool ThreeEmptyInARow(unsigned occupied) {
  const unsigned empty = ~occupied & 0xffu;
  const unsigned round = empty | (empty << kSectors);
  return ((round & (round >> 1) & (round >> 2)) & 0xffu) != 0;
}

// The widest angle between neighbouring directions, going round, from
// their diamond angles (m >= 2 of them, in any order), without sorting
// them: the very number the largest difference of neighbours in the sorted
// list of their azimuths gives.
//
// The azimuth grows by 1 to 2 radians per unit of the diamond angle. The m
// angles are put in 2.25m + 1 buckets of width 4 / 2.25m, each keeping its
// lowest and highest. The farthest neighbours are at least 4 / m apart (m
// gaps fill the 4 units), so neighbours in one bucket span less than half
// of that and are never the widest in degrees: the widest lies between the
// highest angle of a bucket and the lowest of the next bucket used (or
// round, from the last to the first). Of those, only neighbours whose
// distance could reach the degrees of the farthest pair are converted.
double WidestGap(const double* diamonds, std::size_t m, RingMembers& scratch) {
  const std::size_t buckets = (9 * m) / 4 + 1;
  const double per_unit = 0.5625 * static_cast<double>(m);
  // Unused buckets hold +infinity as their lowest and -infinity as their
  // highest, between calls too: the used ones are reset as they are read.
  constexpr double kInfinity = std::numeric_limits<double>::infinity();
  if (scratch.bucket_low.size() < buckets) {
    scratch.bucket_low.resize(2 * buckets, kInfinity);
    scratch.bucket_high.resize(2 * buckets, -kInfinity);
  }
  if (scratch.used_low.size() < buckets) {
    scratch.used_low.resize(2 * buckets);
    scratch.used_high.resize(2 * buckets);
  }
  double* low = scratch.bucket_low.data();
  double* high = scratch.bucket_high.data();
  for (std::size_t i = 0; i < m; ++i) {
    const double d = diamonds[i];
    // Rounding keeps the order: a larger angle never lands in a lower bucket.
    const double place = d * per_unit;
    const std::size_t b = place > 0 ? std::min(static_cast<std::size_t>(place), buckets - 1) : 0;
    low[b] = d < low[b] ? d : low[b];
    high[b] = d > high[b] ? d : high[b];
  }
  // The used buckets' lowest and highest in order (every bucket is written,
  // and the next one overwrites it unless it was used).
  double* lows = scratch.used_low.data();
  double* highs = scratch.used_high.data();
  std::size_t used = 0;
  for (std::size_t b = 0; b < buckets; ++b) {
    lows[used] = low[b];
    highs[used] = high[b];
    used += low[b] != kInfinity;
    low[b] = kInfinity;
    high[b] = -kInfinity;
  }
  // Neighbours: highs[j - 1] and lows[j]; round the end: highs[used - 1]
  // and lows[0].
  const double front = lows[0];
  const double back = highs[used - 1];
  double farthest = 0;
  std::size_t farthest_at = 0;
  for (std::size_t j = 1; j < used; ++j) {
    const double distance = lows[j] - highs[j - 1];
    farthest_at = distance > farthest ? j : farthest_at;
    farthest = distance > farthest ? distance : farthest;
  }
  const double round_distance = 4 - (back - front);
  const auto round_degrees = [&] {
    return kFullCircle - (DiamondDegrees(back) - DiamondDegrees(front));
  };
  const auto degrees = [&](std::size_t j) {
    return DiamondDegrees(lows[j]) - DiamondDegrees(highs[j - 1]);
  };
  const bool round_farthest = round_distance >= farthest;
  double widest = round_farthest ? round_degrees() : degrees(farthest_at);
  // Neighbours d apart are at most d * 360 / pi degrees apart, and the
  // degrees are rounded by far less than the margin here.
  constexpr double kMostDegreesPerUnit = 114.6;
  constexpr double kMargin = 1e-9;
  const auto could_be_wider = [&](double distance) {
    return distance * kMostDegreesPerUnit + kMargin >= widest;
  };
  if (!round_farthest && could_be_wider(round_distance)) widest = std::max(widest, round_degrees());
  for (std::size_t j = 1; j < used; ++j) {
    if (!could_be_wider(lows[j] - highs[j - 1])) [[likely]] continue;
    if (!round_farthest && j == farthest_at) continue;  // converted above
    widest = std::max(widest, degrees(j));
  }
  return widest;
}

// RingSpread of a point ring's values, read where they lie.
double PointSpread(const PointRingView& view) {
  const std::size_t count = view.ring.size();
  if (count < 2) return 0;
  double squares = 0;
  const double mean = view.mean;
  if (view.exponent == 0) {
    for (const std::uint32_t k : view.ring) squares += (view.values[k] - mean) * (view.values[k] - mean);
  } else {
    for (const std::uint32_t k : view.ring) {
      const double v = std::ldexp(view.values[k], view.exponent);
      squares += (v - mean) * (v - mean);
    }
  }
  return std::sqrt(squares / static_cast<double>(count - 1));
}

// The sectors of a point ring's directions, and their diamond angles in
// `diamonds` (`directions` of them), four points at a time. Every lane is
// written, and the next one overwrites it when it has no direction. The
// lanes compute exactly what SectorOf and DiamondAngle do.
[[gnu::target_clones("arch=x86-64-v3", "default")]] SectorTally
TallyDirections(const PointRingView& view, double* diamonds, std::size_t& directions) {
  const std::size_t count = view.ring.size();
  const std::uint32_t* ring = view.ring.data();
  const double x = view.x, y = view.y;
  Longs occupied = {};
  std::size_t listed = 0;
  std::size_t i = 0;
  for (; i + kLanes <= count; i += kLanes) {
    const Doubles dx = {view.xs[ring[i]] - x, view.xs[ring[i + 1]] - x,
                        view.xs[ring[i + 2]] - x, view.xs[ring[i + 3]] - x};
    const Doubles dy = {view.ys[ring[i]] - y, view.ys[ring[i + 1]] - y,
                        view.ys[ring[i + 2]] - y, view.ys[ring[i + 3]] - y};
    const Longs counted = (dx != 0) | (dy != 0);
    // SectorOf.
    const Longs lower = dy < 0;
    const Doubles rx = lower ? -dx : dx;
    const Doubles ry = lower ? -dy : dy;
    const Longs right_sector = (ry >= rx) & 1;
    const Longs left_sector = 4 - ((ry > 0) & 1) - ((ry > -rx) & 1);
    const Longs sector = (lower & 4) + (rx > 0 ? right_sector : left_sector);
    occupied |= (counted & 1) << sector;
    // DiamondAngle.
    const Longs up = dy >= 0;
    const Longs right = dx >= 0;
    const Doubles numerator = up ? (right ? dy : -dx) : (right ? dx : -dy);
    const Doubles denominator = up ? (right ? dx + dy : dy - dx) : (right ? dx - dy : -dx - dy);
    const Doubles zero = {}, one = zero + 1, two = zero + 2, three = zero + 3;
    const Doubles quadrant = up ? (right ? zero : one) : (right ? three : two);
    const Doubles t = numerator / denominator;
    const Doubles diamond = (up & right) ? t : quadrant + t;
    for (std::int64_t j = 0; j < kLanes; ++j) {
      diamonds[listed] = diamond[j];
      listed -= static_cast<std::size_t>(counted[j]);
    }
  }
  SectorTally tally;
  tally.occupied = static_cast<unsigned>(LaneOr(occupied));
  for (; i < count; ++i) {
    const double dx = view.xs[ring[i]] - x;
    const double dy = view.ys[ring[i]] - y;
    const unsigned counted = (dx != 0) | (dy != 0);
    tally.occupied |= counted << SectorOf(dx, dy);
    diamonds[listed] = DiamondAngle(dx, dy);
    listed += counted;
  }
  directions = listed;
  tally.directions = static_cast<int>(listed);
  return tally;
}

}  // namespace

// In the first quadrant t = dy / (dx + dy), and so on round; it needs no
// trigonometry. Within a quadrant the angle atan2(t, 1 - t) grows by between
// 1 and 2 radians per unit of it. Without branches (each quadrant's numbers
// are chosen, then divided once): the rings' directions cannot be foreseen.
double DiamondAngle(double dx, double dy) {
  const bool up = dy >= 0;
  const bool right = dx >= 0;
  const double numerator = up ? (right ? dy : -dx) : (right ? dx : -dy);
  const double denominator = up ? (right ? dx + dy : dy - dx) : (right ? dx - dy : -dx - dy);
  const double quadrant = up ? (right ? 0 : 1) : (right ? 3 : 2);
  const double t = numerator / denominator;
  return up && right ? t : quadrant + t;
}

// Exact on the axes and the diagonals (atan2 answers pi / 4 exactly, and
// dividing by pi before multiplying by 180 keeps it exact).
double DiamondDegrees(double diamond) {
  const double quadrant = std::floor(diamond);
  const double t = diamond - quadrant;  // exact
  return quadrant * 90 + std::atan2(t, 1 - t) / kPi * kHalfCircle;
}

double RingSpread(const std::vector<double>& values, double mean) {
  if (values.size() < 2) return 0;
  double squares = 0;
  for (const double v : values) squares += (v - mean) * (v - mean);
  return std::sqrt(squares / static_cast<double>(values.size() - 1));
}

bool SectorsSettleGap(const SectorTally& tally, RingQuality& quality) {
  quality.sectors = std::popcount(tally.occupied);
  if (tally.directions <= 1) {
    quality.gap = kFullCircle;
    return true;
  }
  if (ThreeEmptyInARow(tally.occupied)) return false;
  quality.gap = kHalfCircle;
  return true;
}

RingQuality PointRingQuality(const PointRingView& view, RingMembers& scratch,
                             const QualityNeeds& needs) {
  RingQuality quality;
  const std::size_t count = view.ring.size();
  const double* xs = view.xs;
  const double* ys = view.ys;
  if (!needs.exact_gap) {
    // A gap of more than 180 degrees holds a whole open quadrant: with a
    // direction in each of the four, the gap is at most 180.
    unsigned quadrants = 0;
    for (const std::uint32_t k : view.ring) quadrants |= QuadrantBits(xs[k] - view.x, ys[k] - view.y);
    if (quadrants == kAllQuadrants) {
      quality.gap = kHalfCircle;
      if (needs.spread) quality.sd = PointSpread(view);
      return quality;
    }
  }
  if (scratch.azimuths.size() < count + kLanes) scratch.azimuths.resize(2 * count + kLanes);
  double* diamonds = scratch.azimuths.data();
  std::size_t directions = 0;
  const SectorTally tally = TallyDirections(view, diamonds, directions);
  if (needs.spread) quality.sd = PointSpread(view);
  const bool settled = SectorsSettleGap(tally, quality);
  if (tally.directions <= 1 || (settled && !needs.exact_gap)) return quality;
  quality.gap = WidestGap(diamonds, directions, scratch);
  return quality;
}

RingQuality GridRingQuality(std::int32_t ring_points, double mean, RingMembers& members) {
  RingQuality quality;
  quality.sd = RingSpread(members.values, mean);
  const std::vector<std::uint32_t>& k = members.indices;
  unsigned occupied = 0;
  const auto n = static_cast<std::int64_t>(ring_points);
  for (const std::uint32_t sample : k) {
    // Sample k lies at k * 360 / n degrees: sector floor(8k / n), in whole
    // numbers so that a sample on a sector's edge is never rounded below it.
    occupied |= 1u << (static_cast<std::int64_t>(sample) * kSectors / n);
  }
  quality.sectors = std::popcount(occupied);
  if (k.size() <= 1) return quality;
  std::int64_t widest = n - k.back() + k.front();
  for (std::size_t i = 1; i < k.size(); ++i) {
    widest = std::max<std::int64_t>(widest, k[i] - k[i - 1]);
  }
  quality.gap = static_cast<double>(widest) * kFullCircle / static_cast<double>(n);
  return quality;
}

}  // namespace torvane
