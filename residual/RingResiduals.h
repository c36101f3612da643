#pragma once
// The residual of every point of a survey, without the table: its CBA less
// the mean of its ring, stored in the point, and the number of ring values
// of each point. The residual table, the Python module and the tests all
// compute through here.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "grid/Gridimport.h"
#include "points/PointSet.h"

namespace torvane {

// Called on the calling thread once for each finished point, in order, with
// the number finished so far; answering false stops the computation.
using RingStep = std::function<bool(std::size_t done)>;

enum class RingOutcome { kDone, kStopped };

// Point mode: the ring is the points at R - D to R + D. `ring_counts` gets
// one count per point, in the points' order. Throws std::bad_alloc when
// memory runs out. A point with an empty ring gets 0.
RingOutcome GatherPointRings(PointSet& points, double radius, double band,
                             std::vector<int>& ring_counts, const RingStep& step);

// Grid mode: the ring is `ring_points` samples of the grid on the circle of
// radius R; with `use_interpolated_cba` the residual starts from the grid's
// value at the point where it has one.
RingOutcome GatherGridRings(PointSet& points, const TGridImport& grid, double radius,
                            std::int32_t ring_points, bool use_interpolated_cba,
                            std::vector<int>& ring_counts, const RingStep& step);

}  // namespace torvane
