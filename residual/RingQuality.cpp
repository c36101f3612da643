#include "residual/RingQuality.h"

#include <algorithm>
#include <bit>
#include <cmath>

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

// The direction of (dx, dy) as a number from 0 to 4 that grows with the
// azimuth, one unit per quadrant (the "diamond angle"): t = dy / (dx + dy)
// in the first quadrant, and so on round. It needs no trigonometry. Within
// a quadrant the angle atan2(t, 1 - t) grows by between 1 and 2 radians per
// unit of it.
double DiamondAngle(double dx, double dy) {
  if (dy >= 0) return dx >= 0 ? dy / (dx + dy) : 1 + -dx / (dy - dx);
  return dx < 0 ? 2 + -dy / (-dx - dy) : 3 + dx / (dx - dy);
}

// The azimuth in degrees of a diamond angle: exact on the axes and the
// diagonals (atan2 answers pi / 4 exactly, and dividing by pi before
// multiplying by 180 keeps it exact).
double Degrees(double diamond) {
  const double quadrant = std::floor(diamond);
  const double t = diamond - quadrant;  // exact
  return quadrant * 90 + std::atan2(t, 1 - t) / kPi * kHalfCircle;
}

// The widest angle between neighbouring directions, going round, from
// their diamond angles. Sorting these orders the azimuths; since the angle
// grows by 1 to 2 radians per unit, only neighbours at least half as far
// apart as the farthest can be the widest in degrees, and only those are
// converted.
double WidestGap(std::vector<double>& diamonds) {
  std::sort(diamonds.begin(), diamonds.end());
  const std::size_t count = diamonds.size();
  double farthest = 4 - (diamonds.back() - diamonds.front());
  for (std::size_t i = 1; i < count; ++i) {
    farthest = std::max(farthest, diamonds[i] - diamonds[i - 1]);
  }
  const double candidate = farthest * 0.499;
  double widest = 0;
  if (4 - (diamonds.back() - diamonds.front()) >= candidate) {
    widest = kFullCircle - (Degrees(diamonds.back()) - Degrees(diamonds.front()));
  }
  for (std::size_t i = 1; i < count; ++i) {
    if (diamonds[i] - diamonds[i - 1] < candidate) continue;
    widest = std::max(widest, Degrees(diamonds[i]) - Degrees(diamonds[i - 1]));
  }
  return widest;
}

}  // namespace

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

RingQuality PointRingQuality(double x, double y, const double* xs, const double* ys,
                             double mean, RingMembers& members, const QualityNeeds& needs) {
  RingQuality quality;
  if (needs.spread) quality.sd = RingSpread(members.values, mean);
  if (!needs.exact_gap) {
    // A gap of more than 180 degrees holds a whole open quadrant: with a
    // direction in each of the four, the gap is at most 180.
    unsigned quadrants = 0;
    for (const std::uint32_t k : members.indices) quadrants |= QuadrantBits(xs[k] - x, ys[k] - y);
    if (quadrants == kAllQuadrants) {
      quality.gap = kHalfCircle;
      return quality;
    }
  }
  SectorTally tally;
  for (const std::uint32_t k : members.indices) {
    const double dx = xs[k] - x;
    const double dy = ys[k] - y;
    // A point on the centre has no direction.
    const unsigned counted = (dx != 0) | (dy != 0);
    tally.occupied |= counted << SectorOf(dx, dy);
    tally.directions += static_cast<int>(counted);
  }
  const bool settled = SectorsSettleGap(tally, quality);
  if (tally.directions <= 1 || (settled && !needs.exact_gap)) return quality;
  members.azimuths.clear();
  for (const std::uint32_t k : members.indices) {
    const double dx = xs[k] - x;
    const double dy = ys[k] - y;
    if (dx == 0 && dy == 0) continue;
    members.azimuths.push_back(DiamondAngle(dx, dy));
  }
  quality.gap = WidestGap(members.azimuths);
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
