#pragma once
// The ring residual of every node of a grid: the node's value less the mean
// of N samples of the grid on the circle of radius R around it, at grid
// mode's sample positions, with its bilinear interpolation and blank rules.
// A node is blank in the result when it is blank in the grid, or when fewer
// than S * N of its samples are usable (a sample is unusable where the grid
// is blank or beyond its cells).
//
// Every node's ring has the same offsets from its node, so the ring is a
// fixed set of weights on the nodes around it: where that window lies inside
// the grid and holds no blank, the mean is the weighted sum of its nodes.
// Other nodes are sampled position by position.

#include <cstddef>
#include <cstdint>
#include <functional>

#include "grid/GridValues.h"
#include "residual/RingLimits.h"

namespace torvane {

struct GridResidualRing {
  double radius = 0;                // R, in the grid's units, > 0
  std::int32_t ring_points = 360;   // N, from 1 to kMostRingPoints
  double min_share = 1;             // S, from 0 to 1
};


// Fills `out` with the residual grid (the geometry of `in`). Columns are
// worked on side by side; step(done) is called on the calling thread after
// each column, in order, and a step answering false stops the work (the
// answer is then false and `out` is incomplete). Memory: `out`, a column of
// sums per thread, the weights, and the runs of blanks along each column.
bool ComputeGridResidual(const GridValues& in, const GridResidualRing& ring, GridValues& out,
                         const std::function<bool(std::size_t done)>& step = {});

}  // namespace torvane
