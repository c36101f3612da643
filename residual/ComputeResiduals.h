#pragma once
// The central computation: for every point, its CBA less the mean CBA of its
// ring, stored in the point and written as one line of the residual table.

#include <cstdint>
#include <string>
#include <vector>

#include "common/Reporter.h"
#include "points/PointSet.h"
#include "residual/RingQuality.h"
#include "residual/RingSource.h"

namespace torvane {

// What a run's rings gave, in point order.
struct RingOutput {
  std::vector<std::int32_t> ring_counts;  // N, the ring values used
  std::vector<RingQuality> qualities;     // with the request's quality; empty otherwise
  int empty_rings = 0;                    // points with N = 0 (residual written as 0)
};

// Writes the table to `output_path` (CSV when its name ends in ".csv")
// (replacing a file of that name only when complete), advancing the progress
// bar by one and processing pending events once per point. False when the
// table could not be written (the user has then been told) or the user
// stopped it; an existing file of that name is then unchanged.
// `stop_requested`, when given, is the window's Stop flag: looked at with
// the events; once it is raised the user is asked "Cancel calculation?", and
// a Yes ends the computation with no table written.
// The rings come from `source`, loaded by the caller.
bool ComputeResiduals(Reporter& platform, const std::string& output_path,
                      RingSource& source, PointSet& points, RingOutput& output,
                      bool* stop_requested = nullptr);

}  // namespace torvane
