#pragma once
// The ring of the grid residual as weights on the nodes around a node:
// every node's ring has the same offsets from its node, so each sample's
// bilinear weights fall on the same neighbours of every node. Built once per
// grid and ring.

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#include "grid/GridValues.h"
#include "residual/GridResidual.h"

namespace torvane {

// One node's weight in the ring's sum: the node at (c + i, r + j) for the
// node (c, r), reached `delta` floats after it in the column-major nodes.
struct RingWeight {
  std::int32_t i = 0;
  std::int32_t j = 0;
  double w = 0;
  std::ptrdiff_t delta = 0;
};

// The ring's sample directions (grid mode's) and, for a grid of positive
// spacings wider and taller than the ring, its weights and the window they
// cover: the nodes the weights fall on and one node more on every side, so
// that a sample on a cell edge lies inside the window whichever of the two
// cells it is taken from.
struct RingStencil {
  std::vector<double> cos;
  std::vector<double> sin;
  std::vector<RingWeight> weights;  // by i, then j
  bool usable = false;          // the weights and the window are there
  std::int32_t ilo = 0, ihi = 0, jlo = 0, jhi = 0;
  // The window itself, column by column: the runs of rows j (from, to) of
  // column i that lie within one node of a corner of a sample's cell, at
  // reach[i - ilo]. A blank elsewhere in the rectangle (inside the ring)
  // touches no sample.
  std::vector<std::vector<std::pair<std::int32_t, std::int32_t>>> reach;
  // The samples farthest west, east, south and north.
  std::int32_t west = 0, east = 0, south = 0, north = 0;
};

RingStencil BuildRingStencil(const GridValues& grid, const GridResidualRing& ring);

}  // namespace torvane
