#pragma once
// How far a ring can be trusted: the widest angle around the point with no
// ring value in it (GAP, degrees), how many of the eight 45-degree sectors
// [45k, 45k + 45) counter-clockwise from east hold a ring value (SECTORS),
// and the standard deviation of the ring's values about their mean (SD).
// Ring points at the point's own position count in SD but have no
// direction. Blanking gives a point whose ring falls short no residual.

#include <cstdint>
#include <limits>
#include <span>
#include <vector>

namespace torvane {

inline constexpr double kFullCircle = 360;

struct RingQuality {
  // Degrees; 360 with at most one direction. When the exact angle was not
  // asked for and the directions show it is at most 180, it is 180.
  double gap = kFullCircle;
  int sectors = 0;
  double sd = 0;
};

// What a caller needs of the quality. The sweep only needs to know whether
// the gap exceeds 180 degrees: without `exact_gap` the gap may be the bound
// 180 and the sectors are not counted.
struct QualityNeeds {
  bool exact_gap = true;
  bool spread = true;
};

// When a point gets no residual: fewer than min_points ring values, or a
// gap wider than max_gap degrees.
struct RingBlanking {
  int min_points = 0;
  double max_gap = std::numeric_limits<double>::infinity();
  bool NeedsGap() const { return max_gap < kFullCircle; }
  bool Blanks(int n, const RingQuality& quality) const {
    return n < min_points || (NeedsGap() && quality.gap > max_gap);
  }
};

// The sectors the directions of a ring's points fall in, and how many
// directions there are (points on the centre have none).
struct SectorTally {
  unsigned occupied = 0;  // bit s for sector s
  int directions = 0;
};

// Fills the quality's sectors, and its gap when the sectors settle it
// without the exact angle: 360 with at most one direction, or the bound 180
// when no three sectors in a row are empty. False when the exact gap is
// needed to tell.
bool SectorsSettleGap(const SectorTally& tally, RingQuality& quality);

// The members of one ring as a gather found them, and scratch space for
// their quality: one per thread, so that nothing is allocated per point
// once it has warmed up.
struct RingMembers {
  std::vector<std::uint32_t> indices;  // ring points in the index's order, or grid samples k
  std::vector<double> values;          // their values
  std::vector<double> azimuths;        // scratch: the directions' diamond angles
  std::vector<std::uint32_t> room;     // scratch of the gather
  // Scratch of the widest gap: the lowest and highest diamond angle in each
  // angular bucket, and in each bucket used.
  std::vector<double> bucket_low, bucket_high, used_low, used_high;
  void Clear() {
    indices.clear();
    values.clear();
  }
};

// The sector 0 to 7 of a direction (dx, dy) other than (0, 0), decided by
// comparing the coordinates, so that a direction on a sector's edge always
// falls in the sector the edge starts. Without branches: it runs for every
// member of every ring.
inline int SectorOf(double dx, double dy) {
  // The lower half turned half a circle into the upper one, four sectors on.
  const bool lower = dy < 0;
  const double rx = lower ? -dx : dx;
  const double ry = lower ? -dy : dy;
  // Upper half: sector 0 or 1 right of the Y axis, 2, 3 or 4 (on the
  // negative X axis) left of it.
  const bool right = rx > 0;
  const int right_sector = ry >= rx;
  const int left_sector = 4 - (ry > 0) - (ry > -rx);
  return 4 * lower + (right ? right_sector : left_sector);
}

// The open quadrants round a point that hold a direction (dx, dy): bit 0
// for dx > 0 and dy > 0, then counter-clockwise. A gap of more than 180
// degrees holds a whole open quadrant, so with all four bits set the gap is
// at most 180.
inline unsigned QuadrantBits(double dx, double dy) {
  return static_cast<unsigned>((dx > 0) & (dy > 0)) |
         static_cast<unsigned>((dx < 0) & (dy > 0)) << 1 |
         static_cast<unsigned>((dx < 0) & (dy < 0)) << 2 |
         static_cast<unsigned>((dx > 0) & (dy < 0)) << 3;
}
inline constexpr unsigned kAllQuadrants = 0xfu;

// The ring points of a point ring around (x, y): `ring` indexes `xs`, `ys`
// and `values` (the ring values 2^-exponent times), in the order their SD
// sums them; `mean` is their mean.
struct PointRingView {
  double x = 0, y = 0;
  const double* xs = nullptr;
  const double* ys = nullptr;
  const double* values = nullptr;
  int exponent = 0;
  double mean = 0;
  std::span<const std::uint32_t> ring;
};

// The quality of a point ring, in one pass over its points (and one over
// the angular buckets of its directions for the gap); `scratch` is the
// caller's, one per thread.
RingQuality PointRingQuality(const PointRingView& view, RingMembers& scratch,
                             const QualityNeeds& needs);

// The direction of (dx, dy) as a number from 0 to 4 that grows with the
// azimuth, one unit per quadrant (the "diamond angle"), and a diamond angle
// in degrees: what GAP is measured in.
double DiamondAngle(double dx, double dy);
double DiamondDegrees(double diamond);
// The quality of a grid ring of `ring_points` samples, of which
// members.indices (ascending) were usable with members.values.
RingQuality GridRingQuality(std::int32_t ring_points, double mean, RingMembers& members);

// sqrt(sum (v - mean)^2 / (n - 1)), summed in the order of the values (the
// index's order, the same in every run); 0 for fewer than two values.
double RingSpread(const std::vector<double>& values, double mean);

}  // namespace torvane
