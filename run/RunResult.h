#pragma once
// What one run gave: the stations as read (with their residuals), every
// point's ring count and quality, and the index of the points that previews
// and maps grid them with, built when first needed.

#include "points/NeighbourCluster.h"
#include "points/PointSet.h"
#include "residual/ComputeResiduals.h"

namespace torvane {

struct RunResult {
  PointSet points;
  RingOutput rings;  // N, qualities and the count of empty rings, in point order
  NeighbourCluster cluster;
  bool cluster_refused = false;  // the index would not fit in memory (told once)
  bool completed = false;        // the table was written
  // A run or a gridding uses the points: nothing may change them meanwhile.
  bool busy = false;

  void Clear() {
    points.Clear();
    rings = {};
    cluster.Clear();
    cluster_refused = false;
    completed = false;
  }
};

}  // namespace torvane
