#include "residual/RingQuality.h"

#include <algorithm>
#include <bit>

namespace torvane {
namespace {

constexpr double kPi = 3.141592653589793;
constexpr int kSectors = 8;
constexpr double kHalfCircle = 180;

// The direction of a point in the upper half plane (dy >= 0, not both 0):
// sectors 0 to 4.
int UpperSector(double dx, double dy) {
  if (dx > 0) return dy < dx ? 0 : 1;
  if (dy > -dx) return 2;
  return dy > 0 ? 3 : 4;
}

// Three empty sectors in a row, going round: a gap of more than 180 degrees
// always holds three whole sectors, so without such a run the gap is at
// most 180.
bool ThreeEmptyInARow(unsigned occupied) {
  const unsigned empty = ~occupied & 0xffu;
  const unsigned round = empty | (empty << kSectors);
  return ((round & (round >> 1) & (round >> 2)) & 0xffu) != 0;
}

// The widest angle between neighbours of the azimuths, going round.
double WidestGap(std::vector<double>& azimuths) {
  std::sort(azimuths.begin(), azimuths.end());
  double widest = kFullCircle - (azimuths.back() - azimuths.front());
  for (std::size_t i = 1; i < azimuths.size(); ++i) {
    widest = std::max(widest, azimuths[i] - azimuths[i - 1]);
  }
  return widest;
}

}  // namespace

double AzimuthDegrees(double dx, double dy) {
  // Dividing by pi before multiplying by 180 keeps the axes and diagonals
  // exact: atan2 answers pi / 4, pi / 2 and pi exactly there.
  double degrees = std::atan2(dy, dx) / kPi * kHalfCircle;
  if (degrees < 0) degrees += kFullCircle;
  if (degrees >= kFullCircle) degrees = 0;  // a hair below 0, rounded up
  return degrees;
}

int SectorOf(double dx, double dy) {
  return dy >= 0 ? UpperSector(dx, dy) : 4 + UpperSector(-dx, -dy);
}

double RingSpread(const std::vector<double>& values, double mean, ExactSum& squares) {
  if (values.size() < 2) return 0;
  squares.Reset();
  for (const double v : values) {
    const double d = v - mean;
    squares.Add(d * d);
  }
  return std::sqrt(squares.Result() / static_cast<double>(values.size() - 1));
}

RingQuality PointRingQuality(double x, double y, const double* xs, const double* ys,
                             double mean, RingMembers& members, const QualityNeeds& needs) {
  RingQuality quality;
  if (needs.spread) quality.sd = RingSpread(members.values, mean, members.squares);
  unsigned occupied = 0;
  std::size_t directions = 0;
  for (const std::uint32_t k : members.indices) {
    const double dx = xs[k] - x;
    const double dy = ys[k] - y;
    if (dx == 0 && dy == 0) continue;  // on the point: no direction
    occupied |= 1u << SectorOf(dx, dy);
    ++directions;
  }
  quality.sectors = std::popcount(occupied);
  if (directions <= 1) return quality;
  if (!needs.exact_gap && !ThreeEmptyInARow(occupied)) {
    quality.gap = kHalfCircle;
    return quality;
  }
  members.azimuths.clear();
  for (const std::uint32_t k : members.indices) {
    const double dx = xs[k] - x;
    const double dy = ys[k] - y;
    if (dx == 0 && dy == 0) continue;
    members.azimuths.push_back(AzimuthDegrees(dx, dy));
  }
  quality.gap = WidestGap(members.azimuths);
  return quality;
}

RingQuality GridRingQuality(std::int32_t ring_points, double mean, RingMembers& members) {
  RingQuality quality;
  quality.sd = RingSpread(members.values, mean, members.squares);
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
