#pragma once
// Point mode's ring: the survey points whose horizontal distance d from a
// point satisfies R - D - 1e-6 <= d <= R + D + 1e-6, on every side, the point
// itself included when the band reaches it.

#include <cstdint>

#include "points/NeighbourCluster.h"
#include "points/PointSet.h"
#include "residual/ExactSum.h"

namespace torvane {

inline constexpr double kRingTolerance = 1e-6;

struct RingValues {
  double sum = 0;  // correctly rounded sum of the ring points' CBA
  int n = 0;       // number of ring points
};

class PointRing {
 public:
  PointRing(const PointSet& points, const NeighbourCluster& cluster, double cell_size,
            double radius, double band);

  // The ring of the point at (x, y), in stored coordinates.
  RingValues Gather(double x, double y);

 private:
  bool InBand(double dx, double dy) const;

  const PointSet& points_;
  const NeighbourCluster& cluster_;
  double cell_size_;
  double lower_;  // R - D - tolerance
  double upper_;  // R + D + tolerance
  // Squared bounds widened a little, so that the cheap squared test only
  // rejects points the exact distance test would reject too.
  double lower_sq_;
  double upper_sq_;
  ExactSum sum_;
};

}  // namespace torvane
