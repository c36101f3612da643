#pragma once
// How far a ring can be trusted: the widest angle around the point with no
// ring value in it (GAP, degrees), how many of the eight 45-degree sectors
// [45k, 45k + 45) counter-clockwise from east hold a ring value (SECTORS),
// and the standard deviation of the ring's values about their mean (SD).
// Ring points at the point's own position count in SD but have no
// direction. Blanking gives a point whose ring falls short no residual.

#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "residual/ExactSum.h"

namespace torvane {

inline constexpr double kFullCircle = 360;

struct RingQuality {
  // Degrees; 360 with at most one direction. When the exact angle was not
  // asked for and the sectors alone show it is at most 180, it is 180.
  double gap = kFullCircle;
  int sectors = 0;
  double sd = 0;
};

// What a caller needs of the quality: the sweep only needs to know whether
// the gap exceeds 180 degrees, and no spread.
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

// The members of one ring as a gather found them, and scratch space for
// their quality: one per thread, so that nothing is allocated per point
// once it has warmed up.
struct RingMembers {
  std::vector<std::uint32_t> indices;  // ring points in the index's order, or grid samples k
  std::vector<double> values;          // their values
  std::vector<double> azimuths;        // scratch
  ExactSum squares;                    // scratch
  void Clear() {
    indices.clear();
    values.clear();
  }
};

// The azimuth of (dx, dy) in degrees in [0, 360), counter-clockwise from
// east; exact for the eight directions along the axes and diagonals.
double AzimuthDegrees(double dx, double dy);
// The sector 0 to 7 of a direction (dx, dy) other than (0, 0), decided by
// comparing the coordinates, so that a direction on a sector's edge always
// falls in the sector the edge starts.
int SectorOf(double dx, double dy);

// The quality of a point ring around (x, y): members.indices index `xs`,
// `ys`; members.values are the ring values, `mean` their mean.
RingQuality PointRingQuality(double x, double y, const double* xs, const double* ys,
                             double mean, RingMembers& members, const QualityNeeds& needs);
// The quality of a grid ring of `ring_points` samples, of which
// members.indices (ascending) were usable with members.values.
RingQuality GridRingQuality(std::int32_t ring_points, double mean, RingMembers& members);

// sqrt(sum (v - mean)^2 / (n - 1)), the squares summed exactly so that the
// order of the values does not matter; 0 for fewer than two values.
double RingSpread(const std::vector<double>& values, double mean, ExactSum& squares);

}  // namespace torvane
