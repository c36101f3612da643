#pragma once
// What one run gave: the stations as read (with their residuals), every
// point's ring count and quality, and the index of the points that previews
// and maps grid them with, built when first needed.

#include <string>

#include "points/NeighbourCluster.h"
#include "points/PointSet.h"
#include "residual/ComputeResiduals.h"

namespace torvane {

struct RunResult {
  PointSet points;
  RingOutput rings;  // N, qualities and the count of empty rings, in point order
  // The CRS of the points' coordinates, the rings' work CRS: the one named,
  // or the UTM zone of a geographic survey's centre; empty when the run named
  // no CRS (the file's coordinates as they are).
  std::string work_crs;
  std::string grid_crs;  // a grid-mode run's grid's CRS; empty when it names none
  // The request contradicts itself (a work CRS that is not the grid's): the
  // user has been told; nothing was computed.
  bool refused = false;
  NeighbourCluster cluster;
  bool cluster_refused = false;  // the index would not fit in memory (told once)
  bool completed = false;        // the table was written
  // The user stopped the run while its stations were read or its rings
  // gathered: nothing was written.
  bool stopped = false;
  // A run or a gridding uses the points: nothing may change them meanwhile.
  bool busy = false;

  void Clear() {
    points.Clear();
    rings = {};
    work_crs.clear();
    grid_crs.clear();
    refused = false;
    cluster.Clear();
    cluster_refused = false;
    completed = false;
    stopped = false;
  }
};

}  // namespace torvane
