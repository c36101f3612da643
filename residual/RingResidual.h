#pragma once
// One point's residual from its ring: its CBA less the ring's mean, 0 with an
// empty ring, and none (NaN) when the blanking rules say the ring falls
// short.

#include <limits>

#include "residual/PointRing.h"
#include "residual/RingQuality.h"

namespace torvane {

inline double RingResidual(double centre, const RingValues& ring, const RingQuality& quality,
                           const RingBlanking& blanking) {
  if (blanking.Blanks(ring.n, quality)) return std::numeric_limits<double>::quiet_NaN();
  return ring.n >= 1 ? centre - ring.Mean() : 0.0;
}

}  // namespace torvane
