#pragma once
// The residual of every point of a survey, without the table: its CBA less
// the mean of its ring, stored in the point, with the number of ring values
// of each point and, when asked for, each ring's quality. The residual
// table, the Python module and the tests all compute through here.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "grid/Gridimport.h"
#include "points/PointSet.h"
#include "residual/RingQuality.h"

namespace torvane {

// Called on the calling thread once for each finished point, in order, with
// the number finished so far; answering false stops the computation.
using RingStep = std::function<bool(std::size_t done)>;

enum class RingOutcome { kDone, kStopped };

struct RingSettings {
  double radius = 0;  // R
  double band = 0;    // D, half-width of the ring along the radius (point mode)
  // Grid mode: `ring_points` samples of this grid on the circle of radius R;
  // with `use_interpolated_cba` the residual starts from the grid's value at
  // the point where it has one.
  const TGridImport* grid = nullptr;
  std::int32_t ring_points = 0;
  bool use_interpolated_cba = false;
  bool quality = false;        // every ring's GAP, SECTORS and SD
  RingBlanking blanking = {};  // points whose ring falls short get no residual (NaN)
};

struct RingResults {
  std::vector<std::int32_t> ring_counts;  // N of each point, in point order
  // Each point's quality, in point order; filled when the quality was asked
  // for or a blanking needs the gap, empty otherwise.
  std::vector<RingQuality> qualities;
};

// Throws std::bad_alloc when memory runs out. A point with an empty ring
// gets 0. `step` is called with 0 before and after the index of the points
// is built too, so that a stop is seen while it is built.
RingOutcome GatherRings(PointSet& points, const RingSettings& settings, RingResults& results,
                        const RingStep& step);

}  // namespace torvane
